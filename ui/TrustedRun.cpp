#include "TrustedRun.h"

namespace veltran {

std::string ConvertAsSourceQuestion(std::string_view sourceName, std::string_view targetName, std::size_t count)
{
    const std::string source(sourceName);
    return "将把所选的 " + std::to_string(count) + " 个文件一律当作 " + source + " 编码转换为 " +
           std::string(targetName) + "，不再检查它们读起来像哪种编码（无效的字节仍会使文件处理失败）。\n" +
           "若其中有文件其实不是 " + source + " 编码，例如已经转换过一次，转换后的内容将是乱码。确定要继续吗？";
}

std::string ConvertAsSourceHint(std::string_view sourceName)
{
    return "    若确知它是 " + std::string(sourceName) + " 编码，可选中它，在列表的右键菜单中选“" +
           kConvertAsSourceCommand + "”。\n";
}

} // namespace veltran
