#include "SecondRunCheck.h"

#include "FileBytesConversion.h"
#include "FileReader.h"

#include <algorithm>

namespace veltran {

bool ConvertingBackupGives(const std::filesystem::path& backup, ByteView content, ByteView bom,
                           const TextOptions& options, const RuleTable& rules, const FileSystemCalls& calls)
{
    ReadLimits limits;
    limits.followLinks = false;
    const Result<FileContent> held = ReadRegularFile(backup, limits, calls);
    if (!held)
        return false;
    const ByteView original = held->bytes;
    if (std::equal(content.begin(), content.end(), original.begin(), original.end()))
        return false;
    if (content.size() < bom.size() || !std::equal(bom.begin(), bom.end(), content.begin()))
        return false;
    return ConversionGives(original, options, rules, content.subspan(bom.size()));
}

} // namespace veltran
