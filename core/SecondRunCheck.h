#pragma once

#include "Bytes.h"
#include "ConversionOptions.h"
#include "FileSystemCalls.h"
#include "RuleTable.h"

#include <filesystem>

namespace veltran {

/// Whether the file's content is what converting its backup gives, to any of the three targets (UTF-8
/// with or without a byte-order mark): the file is then the output of an earlier run, of this
/// conversion or another, which converting again would garble, and replacing the backup would lose
/// the original. Too short a text may not tell a second run from a first; its backup does. The backup
/// is read (a regular file, not through a link) and converted as the file would be, but for the
/// target, only as far as its bytes agree with the file's (ConversionGives), so that an older backup of
/// other text costs little; a backup that cannot be read or converted, or holds the file's own bytes,
/// says no.
bool ConvertingBackupGives(const std::filesystem::path& backup, ByteView content, const TextOptions& options,
                           const RuleTable& rules, const FileSystemCalls& calls);

} // namespace veltran
