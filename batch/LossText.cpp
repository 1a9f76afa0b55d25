#include "LossText.h"

namespace veltran {

std::string LossText(const UnmappableCharacters& lost, bool happened)
{
    if (lost.count == 0)
        return {};
    std::string text =
        "目标编码没有的字符 " + std::to_string(lost.count) + " 个，" + (happened ? "已" : "将") + "写成 \"?\"：";
    for (std::size_t i = 0; i < lost.examples.size(); ++i)
        text += (i > 0 ? "，" : "") + DescribeCharacter(lost.examples[i]);
    if (lost.count > lost.examples.size())
        text += " ...";
    return text;
}

} // namespace veltran
