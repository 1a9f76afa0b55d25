#include "CheckReport.h"

#include "ShownName.h"
#include "UnmappableCharacters.h"

namespace veltran {

std::string CheckReportText(const RunRequest& request, const RunOutcome& outcome)
{
    const RunSettings& settings = request.settings;
    std::string text = "检查：" + settings.sourceName + " --> " + settings.targetName + "（不改动任何文件）\n\n";
    std::size_t failing = 0;
    std::size_t lossy = 0;
    for (const EntryRecord& record : outcome.records) {
        const std::string path = ShownName(record.path.native());
        if (!record.result) {
            ++failing;
            text += "不能处理：" + path + "：" + ShownName(record.result.message) + "\n";
            continue;
        }
        text += "可以处理：" + path + "\n";
        const UnmappableCharacters& lost = record.notes.unmappable;
        if (lost.count == 0)
            continue;
        ++lossy;
        text += "    目标编码没有的字符 " + std::to_string(lost.count) + " 个，将写成 \"?\"：";
        for (std::size_t i = 0; i < lost.examples.size(); ++i)
            text += (i > 0 ? "，" : "") + DescribeCharacter(lost.examples[i]);
        text += lost.count > lost.examples.size() ? " ...\n" : "\n";
    }
    const std::size_t checked = outcome.records.size();
    text += "\n";
    if (outcome.stopped)
        text += "检查被终止：已检查 " + std::to_string(checked) + " 个文件，共 " +
                std::to_string(request.entries.size()) + " 个。\n";
    text += "共检查 " + std::to_string(checked) + " 个文件：" + std::to_string(checked - failing) + " 个可以处理，" +
            std::to_string(failing) + " 个不能处理，" + std::to_string(lossy) + " 个含目标编码没有的字符。\n";
    return text;
}

} // namespace veltran
