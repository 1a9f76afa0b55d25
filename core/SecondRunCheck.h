#pragma once

#include "Bytes.h"
#include "ConversionOptions.h"
#include "FileSystemCalls.h"
#include "RuleTable.h"

#include <filesystem>

namespace veltran {

/// Whether the file's content is what converting its backup gives: the file is then the output of an
/// earlier run, which converting again would garble, and replacing the backup would lose the original.
/// Too short a text may not tell a second run from a first; its backup does. The backup is read
/// (a regular file, not through a link) and converted as the file would be, with `bom` written first,
/// only as far as its bytes agree with the file's (ConversionGives), so that an older backup of other
/// text costs little; a backup that cannot be read or converted, or holds the file's own bytes, says no.
bool ConvertingBackupGives(const std::filesystem::path& backup, ByteView content, ByteView bom,
                           const TextOptions& options, const RuleTable& rules, const FileSystemCalls& calls);

} // namespace veltran
