#pragma once

#include "FileSystemCalls.h"
#include "Status.h"

#include <filesystem>
#include <sys/stat.h>

namespace veltran {

/// Whether the file at `path` (as `info`, its lstat or fstat, says) has no name but that one which a
/// replacement would part from it: fails with HardLinked ("has N hard links") when it has. Names a
/// killed run of this program left on it do not count: its own latest backup ("<path>.bak", the
/// highest "<path>.bak.~N~") and staged names in its folder (IsStagedName). Looks further than
/// `info` only for a file with more than one link.
Status CheckNoOtherNames(const std::filesystem::path& path, const struct stat& info, const FileSystemCalls& calls);

} // namespace veltran
