#include "LoneBackup.h"

#include "BackupNames.h"
#include "SystemError.h"

#include <cerrno>
#include <sys/stat.h>

namespace veltran {

namespace {

bool IsRegularFile(const std::filesystem::path& path, const FileSystemCalls& calls)
{
    struct stat info = {};
    return calls.LinkStat(path, info) == 0 && S_ISREG(info.st_mode);
}

Status NotPutBack(const std::filesystem::path& backup, int error)
{
    return Status::Failure(StatusCode::NotPutBack, {.systemError = error, .name = backup.filename().string()});
}

// The system cannot rename on condition here (an old kernel, a FUSE or network file system).
bool CannotRenameOnCondition(int error)
{
    return error == EINVAL || error == ENOSYS || error == EOPNOTSUPP;
}

// No hard links on this file system, or none allowed for this file.
bool CannotLink(int error)
{
    return error == EPERM || error == EOPNOTSUPP || error == EMLINK || error == ENOSYS;
}

} // namespace

std::optional<std::filesystem::path> LoneBackupOf(const std::filesystem::path& file, const FileSystemCalls& calls)
{
    std::filesystem::path simple = file;
    simple += ".bak";
    if (IsRegularFile(simple, calls))
        return simple;
    if (const unsigned highest = HighestNumberedBackup(simple); highest > 0) {
        std::filesystem::path numbered = NumberedBackup(simple, highest);
        if (IsRegularFile(numbered, calls))
            return numbered;
    }
    return std::nullopt;
}

Status PutBackLoneBackup(const std::filesystem::path& backup, const std::filesystem::path& file,
                         const FileSystemCalls& calls)
{
    int error = calls.RenameNoReplace(backup, file);
    if (!CannotRenameOnCondition(error))
        return error == 0 ? Status::Success() : NotPutBack(backup, error);
    error = calls.Link(backup, file);
    if (error == 0) {
        // The file is in place; a backup name left over would only be a second name of it.
        calls.Unlink(backup);
        return Status::Success();
    }
    if (!CannotLink(error))
        return NotPutBack(backup, error);
    // Neither call that refuses to replace is to be had: the name is checked free just before the
    // rename, which leaves only the moment between the two for another file to appear there.
    struct stat info = {};
    if (const int seen = calls.LinkStat(file, info); seen != ENOENT)
        return NotPutBack(backup, seen == 0 ? EEXIST : seen);
    error = calls.Rename(backup, file);
    return error == 0 ? Status::Success() : NotPutBack(backup, error);
}

} // namespace veltran
