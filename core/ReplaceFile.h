#pragma once

#include "Bytes.h"
#include "FileSystemCalls.h"
#include "Status.h"

#include <ctime>
#include <filesystem>
#include <optional>
#include <span>
#include <sys/stat.h>
#include <sys/types.h>

namespace veltran {

/// Permission bits, owner and group that a new file takes over from the file it replaces.
struct FileOwnership
{
    mode_t mode = 0;
    uid_t owner = 0;
    gid_t group = 0;
};

/// What tells a file from another one put at its path, and from itself after someone wrote to it.
struct FileIdentity
{
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified = {};
};

FileIdentity IdentityOf(const struct stat& info);
/// Same device, inode, size and modification time (to the nanosecond).
bool SameFile(const FileIdentity& a, const FileIdentity& b);

struct ReplaceOptions
{
    /// Where the current file is kept. An older regular file there is replaced; anything else there
    /// (a folder, a link) fails with BackupBlocked before anything changes.
    std::optional<std::filesystem::path> backup;
    /// Taken over by the new file (the owner only where the process may); without it the new file
    /// gets the permissions of any new file (0666 less the umask).
    std::optional<FileOwnership> ownership;
    /// The file the target must still be just before it is replaced. Otherwise the replacement fails
    /// with ChangedMeanwhile ("changed during conversion"), leaving the target and the backup path
    /// as they are.
    std::optional<FileIdentity> expected;
    /// Flush the new file, and its folder, to the disk before the rename that puts it in place, and
    /// the folder again after it.
    bool sync = false;
};

/// Replaces the file at `target` (or creates it) with the concatenated `pieces`, so that the path
/// holds the old file or the whole new one at every moment. The bytes go to a new file beside the
/// target (unnamed until the end where the file system allows), which then takes the target's place
/// by rename. With a backup, the backup name is first made a hard link to the current file (through
/// a temporary name renamed over an older backup), so neither name ever lacks a file. Where the file
/// system makes no hard links the current file is renamed to the backup first and put back if the new
/// file cannot follow; a failure then says so. On any failure the target keeps its bytes, no staged
/// file is left behind, and a backup made only for this replacement is removed again; the message
/// says what failed.
/// What ReplaceFile would find before it writes anything: a backup path blocked, a file changed since
/// it was read, a folder the process may not write in. Changes nothing; for a dry run.
Status CheckReplaceable(const std::filesystem::path& target, const ReplaceOptions& options,
                        const FileSystemCalls& calls = SystemFileCalls());

Status ReplaceFile(const std::filesystem::path& target, std::span<const ByteView> pieces, const ReplaceOptions& options,
                   const FileSystemCalls& calls = SystemFileCalls());

} // namespace veltran
