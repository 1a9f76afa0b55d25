#include "ReplaceFile.h"

#include "StagedFile.h"
#include "SystemError.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace veltran {

namespace {

constexpr int kNameAttempts = 100;

Status StepFailure(const std::string& what, int errorNumber)
{
    return Status::Failure(StatusCode::WriteFailed, what + ": " + SystemErrorText(errorNumber));
}

// Only a regular file may be replaced by the backup; a folder or a link there is someone else's.
// Gives whether an older backup is there.
Result<bool> OlderBackup(const std::filesystem::path& backup)
{
    struct stat info = {};
    if (::lstat(backup.c_str(), &info) != 0)
        return false;
    if (!S_ISREG(info.st_mode))
        return Status::Failure(StatusCode::BackupBlocked,
                               "something other than a file is at the backup path " + backup.string());
    return true;
}

// The file system has no hard links, or refuses them for this file (as protected_hardlinks does for
// another user's file).
bool NoHardLinks(int errorNumber)
{
    return errorNumber == EPERM || errorNumber == EOPNOTSUPP || errorNumber == EMLINK || errorNumber == ENOSYS;
}

// Makes `backup` a second name of the file at `target`. link() never replaces a name, so an older
// backup is replaced by renaming a temporary second name over it. Returns 0 or the errno value.
int LinkBackup(const std::filesystem::path& target, const std::filesystem::path& backup, bool olderBackup,
               const FileSystemCalls& calls)
{
    if (!olderBackup) {
        const int error = calls.Link(target, backup);
        if (error != EEXIST)
            return error;
    }
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        const std::filesystem::path temporary = TemporaryNameBeside(backup);
        const int linked = calls.Link(target, temporary);
        if (linked == EEXIST)
            continue;
        if (linked != 0)
            return linked;
        const int renamed = calls.Rename(temporary, backup);
        // rename() does nothing when both names are already the same file, which leaves the temporary one.
        ::unlink(temporary.c_str());
        return renamed;
    }
    return EEXIST;
}

// Makes the names in the folder durable; a folder that cannot be opened or synced is not an error of
// the file.
void SyncFolder(const std::filesystem::path& target, const FileSystemCalls& calls)
{
    const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        calls.Sync(fd);
        ::close(fd);
    }
}

Result<StagedFile> WriteStaged(const std::filesystem::path& target, std::span<const ByteView> pieces,
                               const ReplaceOptions& options, const FileSystemCalls& calls)
{
    // A copy of a private file must not be readable by others even while it is written. Made with the
    // permissions it is to have, it mostly needs no change at the end.
    Result<StagedFile> staged =
        StagedFile::Create(target, options.ownership ? options.ownership->mode & 0777 : 0666, calls);
    if (!staged)
        return staged;
    for (const ByteView piece : pieces) {
        if (Status written = staged->Write(piece); !written)
            return written;
    }
    if (options.ownership) {
        const FileOwnership& own = *options.ownership;
        if (Status set = staged->SetOwnership(own.mode, own.owner, own.group); !set)
            return set;
    }
    if (options.sync) {
        if (Status synced = staged->Sync(calls); !synced)
            return synced;
    }
    return staged;
}

// Puts the named staged file at the target by rename, flushing the folder around it when asked.
int RenameIntoPlace(StagedFile& staged, const std::filesystem::path& target, bool sync, const FileSystemCalls& calls)
{
    if (sync)
        SyncFolder(target, calls);
    const int error = calls.Rename(staged.Path(), target);
    if (error != 0)
        return error;
    staged.Release();
    if (sync)
        SyncFolder(target, calls);
    return 0;
}

// The order where hard links are impossible: the current file moves to the backup name, the new file
// follows it in, and the current file goes back should that fail.
Status ReplaceMovingToBackup(const std::filesystem::path& target, StagedFile& staged,
                             const std::filesystem::path& backup, bool sync, const FileSystemCalls& calls)
{
    const std::string noLinks = " (the file system makes no hard links here, so the original was moved to the backup "
                                "name first";
    if (const int error = calls.Rename(target, backup); error != 0)
        return StepFailure("cannot make the backup", error);
    Status placed = staged.Name(target, calls);
    if (placed) {
        if (const int error = RenameIntoPlace(staged, target, sync, calls); error != 0)
            placed = StepFailure("cannot put the new file in place", error);
    }
    if (placed)
        return placed;
    // The path must not stay without its file: the original goes back where it was.
    if (calls.Rename(backup, target) != 0)
        placed.message += noLinks + "; it is now " + backup.string() + ")";
    else
        placed.message += noLinks + " and has been put back)";
    return placed;
}

} // namespace

FileIdentity IdentityOf(const struct stat& info)
{
    return FileIdentity{info.st_dev, info.st_ino, info.st_size, info.st_mtim};
}

bool SameFile(const FileIdentity& a, const FileIdentity& b)
{
    return a.device == b.device && a.inode == b.inode && a.size == b.size && a.modified.tv_sec == b.modified.tv_sec &&
           a.modified.tv_nsec == b.modified.tv_nsec;
}

Status CheckReplaceable(const std::filesystem::path& target, const ReplaceOptions& options,
                        const FileSystemCalls& calls)
{
    if (options.backup) {
        if (const Result<bool> held = OlderBackup(*options.backup); !held)
            return held.status();
    }
    if (options.expected) {
        struct stat now = {};
        if (calls.LinkStat(target, now) != 0 || !SameFile(IdentityOf(now), *options.expected))
            return Status::Failure(StatusCode::ChangedMeanwhile, "changed during conversion");
    }
    const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
    if (::access(folder.c_str(), W_OK) != 0)
        return StepFailure("cannot create a file in the folder", errno);
    return Status::Success();
}

Status ReplaceFile(const std::filesystem::path& target, std::span<const ByteView> pieces, const ReplaceOptions& options,
                   const FileSystemCalls& calls)
{
    bool olderBackup = false;
    if (options.backup) {
        const Result<bool> held = OlderBackup(*options.backup);
        if (!held)
            return held.status();
        olderBackup = *held;
    }
    Result<StagedFile> staged = WriteStaged(target, pieces, options, calls);
    if (!staged)
        return staged.status();

    // Someone else may have written or replaced the file since it was read: their work is not to be
    // overwritten with a conversion of what was there before.
    if (options.expected) {
        struct stat now = {};
        if (calls.LinkStat(target, now) != 0 || !SameFile(IdentityOf(now), *options.expected))
            return Status::Failure(StatusCode::ChangedMeanwhile, "changed during conversion");
    }

    bool backupMade = false;
    if (options.backup) {
        const int error = LinkBackup(target, *options.backup, olderBackup, calls);
        if (error != 0 && NoHardLinks(error))
            return ReplaceMovingToBackup(target, *staged, *options.backup, options.sync, calls);
        if (error != 0)
            return StepFailure("cannot make the backup", error);
        backupMade = true;
    }
    Status placed = staged->Name(target, calls);
    if (placed) {
        if (const int error = RenameIntoPlace(*staged, target, options.sync, calls); error != 0)
            placed = StepFailure("cannot put the new file in place", error);
    }
    // A backup made for a replacement that did not happen would only confuse; an older one it
    // replaced is gone either way, and the backup now holds the file that is still in place.
    if (!placed && backupMade && !olderBackup)
        ::unlink(options.backup->c_str());
    return placed;
}

} // namespace veltran
