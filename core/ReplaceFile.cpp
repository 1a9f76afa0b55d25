#include "ReplaceFile.h"

#include "BackupFile.h"
#include "StagedFile.h"
#include "SystemError.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace veltran {

namespace {

std::filesystem::path FolderOf(const std::filesystem::path& target)
{
    return target.has_parent_path() ? target.parent_path() : ".";
}

Status Changed()
{
    return Status::Failure(StatusCode::ChangedMeanwhile);
}

// Makes the names in the folder durable; a folder that cannot be opened or synced is not an error of
// the file.
void SyncFolder(const std::filesystem::path& target, const FileSystemCalls& calls)
{
    const int fd = calls.Open(FolderOf(target), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        calls.Sync(fd);
        ::close(fd);
    }
}

// The descriptor of the file read, or of the target opened here when the caller has none (-1 when
// there is no file).
class SourceFile
{
public:
    SourceFile(const std::filesystem::path& target, const ReplaceOptions& options, const FileSystemCalls& calls)
        : m_fd(options.source)
    {
        if (m_fd < 0 && (options.backup || options.expected)) {
            m_fd = calls.Open(target, O_RDONLY | O_NOFOLLOW | O_NONBLOCK);
            m_owned = m_fd >= 0;
        }
    }
    ~SourceFile()
    {
        if (m_owned)
            ::close(m_fd);
    }
    SourceFile(const SourceFile&) = delete;
    SourceFile& operator=(const SourceFile&) = delete;

    int Fd() const { return m_fd; }
    // The descriptor opened here, or -1 for the caller's (or none).
    int OpenedHere() const { return m_owned ? m_fd : -1; }

private:
    int m_fd;
    bool m_owned = false;
};

// Someone else may have written or replaced the file since it was read: their work is not to be
// overwritten with a conversion of what was there before. The path must still name the file read. The
// caller's open file is that file, so it needs no look of its own: an inode cannot be freed and reused
// while it is open, and the path's look described it. A file opened here since must be that file too.
bool StillAsRead(const std::filesystem::path& target, const FileIdentity& expected, int openedHere,
                 const FileSystemCalls& calls)
{
    struct stat now = {};
    if (calls.LinkStat(target, now) != 0 || !SameFile(IdentityOf(now), expected))
        return false;
    if (openedHere < 0)
        return true;
    struct stat open = {};
    return calls.FileStat(openedHere, open) == 0 && SameFile(IdentityOf(open), expected);
}

Result<StagedFile> WriteStaged(const std::filesystem::path& target, std::span<const ByteView> pieces,
                               const ReplaceOptions& options, int source, const FileSystemCalls& calls,
                               ReplaceNotes& notes)
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
        Result<std::vector<std::string>> kept = KeepMetadata(source, staged->Descriptor(), *options.ownership, calls);
        if (!kept)
            return kept.status();
        notes.notKept = std::move(*kept);
    }
    if (options.sync) {
        if (Status synced = staged->Sync(); !synced)
            return synced;
    }
    return staged;
}

// A blocked backup path (a folder, a link) fails before anything is written.
Status BackupPathUsable(const ReplaceOptions& options, const FileSystemCalls& calls)
{
    if (options.backup && !MakesNumberedBackup(*options.backup, options.backupMode)) {
        if (const Result<bool> held = OlderBackupAt(*options.backup, calls); !held)
            return held.status();
    }
    return Status::Success();
}

} // namespace

Status CheckReplaceable(const std::filesystem::path& target, const ReplaceOptions& options,
                        const FileSystemCalls& calls)
{
    if (Status free = BackupPathUsable(options, calls); !free)
        return free;
    if (options.expected && !StillAsRead(target, *options.expected, -1, calls))
        return Changed();
    if (const int error = calls.Access(FolderOf(target), W_OK); error != 0)
        return Status::Failure(StatusCode::CannotCreate, {.systemError = error});
    return Status::Success();
}

Status ReplaceFile(const std::filesystem::path& target, std::span<const ByteView> pieces, const ReplaceOptions& options,
                   const FileSystemCalls& calls, ReplaceNotes* givenNotes)
{
    ReplaceNotes unused;
    ReplaceNotes& notes = givenNotes ? *givenNotes : unused;
    // Something other than a file at the backup path fails MakeBackup, before the file or its backup changes.
    const SourceFile source(target, options, calls);
    if (options.backup && source.Fd() < 0)
        return Status::Failure(StatusCode::CannotMakeBackup, {.systemError = ENOENT});
    Result<StagedFile> staged = WriteStaged(target, pieces, options, source.Fd(), calls, notes);
    if (!staged)
        return staged.status();

    if (options.expected && !StillAsRead(target, *options.expected, source.OpenedHere(), calls))
        return Changed();

    std::optional<MadeBackup> backup;
    if (options.backup) {
        // What the caller's read found serves; only a caller without it has the file looked at again.
        struct stat info = {};
        if (!options.expected || !options.ownership) {
            if (const int error = calls.FileStat(source.Fd(), info); error != 0)
                return Status::Failure(StatusCode::CannotMakeBackup, {.systemError = error});
        }
        // A copied backup takes the permissions of the original, which are the new file's too.
        const FileIdentity read = options.expected.value_or(IdentityOf(info));
        const FileOwnership ownership =
            options.ownership.value_or(FileOwnership{info.st_mode, info.st_uid, info.st_gid});
        Result<MadeBackup> made = MakeBackup(source.Fd(), read, ownership,
                                             {target, *options.backup, options.backupMode, options.sync}, calls);
        if (!made)
            return made.status();
        backup = std::move(*made);
    }
    // The staged file gets its name only now, after the slow flush of the folder, so that a process
    // killed meanwhile leaves no stray name.
    if (options.sync)
        SyncFolder(target, calls);
    Status placed = staged->Name(target);
    if (placed) {
        if (const int error = calls.Rename(staged->Path(), target); error != 0)
            placed = Status::Failure(StatusCode::CannotPlaceNewFile, {.systemError = error});
        else
            staged->Release();
    }
    if (placed && options.sync)
        SyncFolder(target, calls);
    if (placed && backup) {
        notes.backup = std::move(backup->path);
        notes.replacedOtherBackup = backup->olderHeldOtherBytes;
    }
    // A backup made for a replacement that did not happen would only confuse; an older one it
    // replaced is gone either way, and the backup now holds the file that is still in place.
    if (!placed && backup && !backup->replacedOlder)
        calls.Unlink(backup->path);
    return placed;
}

} // namespace veltran
