#pragma once

#include "FileSystemCalls.h"
#include "Status.h"

#include <filesystem>
#include <optional>

namespace veltran {

/// The backup a missing file left alone: "<file>.bak" when it is a regular file, else the highest
/// numbered "<file>.bak.~N~" that is one; nothing when there is neither (links do not count).
std::optional<std::filesystem::path> LoneBackupOf(const std::filesystem::path& file, const FileSystemCalls& calls);

/// Moves the lone backup `backup` to `file`, which must be missing. Never replaces a file at `file`:
/// renamed where the system can rename on the condition that the name is free, else linked there and
/// unlinked from its own name (between the two, both names hold it), else, on a file system with
/// neither, renamed right after the name was seen free. Fails with NotPutBack and the reason, leaving
/// the backup where it was.
Status PutBackLoneBackup(const std::filesystem::path& backup, const std::filesystem::path& file,
                         const FileSystemCalls& calls);

} // namespace veltran
