#pragma once

#include "Bytes.h"
#include "FileSystemCalls.h"
#include "Status.h"

#include <filesystem>
#include <optional>
#include <span>
#include <sys/types.h>

namespace veltran {

/// Permission bits, owner and group that a new file takes over from the file it replaces.
struct FileOwnership
{
    mode_t mode = 0;
    uid_t owner = 0;
    gid_t group = 0;
};

struct ReplaceOptions
{
    /// Where the current file goes first. An older regular file there is replaced; anything else
    /// there (a folder, a link) fails with BackupBlocked before anything changes.
    std::optional<std::filesystem::path> backup;
    /// Taken over by the new file (the owner only where the process may); without it the new file
    /// gets the permissions of any new file (0666 less the umask).
    std::optional<FileOwnership> ownership;
    /// Flush the new file to the disk before it is put in place, and its folder after.
    bool sync = false;
};

/// Replaces the file at `target` (or creates it) with the concatenated `pieces`. The bytes go to a
/// file made beside the target first, which then takes the target's place by rename, so the path
/// never holds a half-written file: with a backup the current file is renamed to it first, and put
/// back if the new file cannot follow. On any failure the target keeps its bytes and no staged
/// file is left behind; the message says what failed.
Status ReplaceFile(const std::filesystem::path& target, std::span<const ByteView> pieces, const ReplaceOptions& options,
                   const FileSystemCalls& calls = SystemFileCalls());

} // namespace veltran
