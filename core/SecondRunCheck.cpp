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
    ConversionNotes notes;
    const Result<ByteBuffer> again = ConvertContent(original, options, rules, {}, notes);
    if (!again)
        return false;
    const ByteView converted = *again;
    return content.size() == bom.size() + converted.size() && std::equal(bom.begin(), bom.end(), content.begin()) &&
           std::equal(converted.begin(), converted.end(), content.begin() + static_cast<std::ptrdiff_t>(bom.size()));
}

} // namespace veltran
