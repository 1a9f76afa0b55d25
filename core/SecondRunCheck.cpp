#include "SecondRunCheck.h"

#include "FileBytesConversion.h"
#include "FileReader.h"
#include "TextCodecs.h"

#include <algorithm>

namespace veltran {

bool ConvertingBackupGives(const std::filesystem::path& backup, ByteView content, const TextOptions& options,
                           const RuleTable& rules, const FileSystemCalls& calls)
{
    ReadLimits limits;
    limits.followLinks = false;
    const Result<FileContent> held = ReadRegularFile(backup, limits, calls);
    if (!held)
        return false;
    const ByteView original = held->bytes;
    if (std::equal(content.begin(), content.end(), original.begin(), original.end()))
        return false;
    // Another run, to another target, may have written the page: converting GB to BIG5 and then the
    // same page to UTF-8 would otherwise read the BIG5 as GB and put it in the backup.
    for (const EncodingId target : {EncodingId::Gb, EncodingId::Big5, EncodingId::Utf8}) {
        TextOptions other = options;
        other.target = target;
        if (ConversionGives(original, other, rules, content))
            return true;
        // Another run may have written a byte-order mark, or not, whatever this one is asked to do.
        if (target == EncodingId::Utf8 && HasUtf8Bom(content) &&
            ConversionGives(original, other, rules, content.subspan(kUtf8Bom.size())))
            return true;
    }
    return false;
}

} // namespace veltran
