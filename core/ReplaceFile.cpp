#include "ReplaceFile.h"

#include "StagedFile.h"
#include "SystemError.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace veltran {

namespace {

Status RenameFailure(const std::string& what, int errorNumber)
{
    return Status::Failure(StatusCode::WriteFailed, what + ": " + SystemErrorText(errorNumber));
}

// Only a regular file may be replaced by the backup; a folder or a link there is someone else's.
Status CheckBackupPath(const std::filesystem::path& backup)
{
    struct stat info = {};
    if (::lstat(backup.c_str(), &info) == 0 && !S_ISREG(info.st_mode))
        return Status::Failure(StatusCode::BackupBlocked,
                               "something other than a file is at the backup path " + backup.string());
    return Status::Success();
}

// Makes the renames in the folder durable; a folder that cannot be opened or synced is not an error
// of the file, which is already in place.
void SyncFolder(const std::filesystem::path& target)
{
    const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

Result<StagedFile> WriteStaged(const std::filesystem::path& target, std::span<const ByteView> pieces,
                               const ReplaceOptions& options)
{
    // A copy of a private file must not be readable by others even while it is written. Made with the
    // permissions it is to have, it mostly needs no change at the end.
    Result<StagedFile> staged = StagedFile::Create(target, options.ownership ? options.ownership->mode & 0777 : 0666);
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
        if (Status synced = staged->Sync(); !synced)
            return synced;
    }
    if (Status closed = staged->Close(); !closed)
        return closed;
    return staged;
}

} // namespace

Status ReplaceFile(const std::filesystem::path& target, std::span<const ByteView> pieces, const ReplaceOptions& options,
                   const FileSystemCalls& calls)
{
    if (options.backup) {
        if (Status free = CheckBackupPath(*options.backup); !free)
            return free;
    }
    Result<StagedFile> staged = WriteStaged(target, pieces, options);
    if (!staged)
        return staged.status();

    if (options.backup) {
        if (const int error = calls.Rename(target, *options.backup); error != 0)
            return RenameFailure("cannot make the backup", error);
        if (const int error = calls.Rename(staged->Path(), target); error != 0) {
            // The path must not stay without its file: the original goes back where it was.
            if (const int putBack = calls.Rename(*options.backup, target); putBack != 0)
                return RenameFailure(
                    "cannot put the new file in place (the original is now " + options.backup->string() + ")", error);
            return RenameFailure("cannot put the new file in place", error);
        }
    } else if (const int error = calls.Rename(staged->Path(), target); error != 0) {
        return RenameFailure("cannot put the new file in place", error);
    }
    staged->Release();
    if (options.sync)
        SyncFolder(target);
    return Status::Success();
}

} // namespace veltran
