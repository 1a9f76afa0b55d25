#include "StrayFiles.h"

#include "BackupNames.h"
#include "FileReader.h"
#include "StagedFile.h"
#include "SystemError.h"

#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace veltran {

namespace {

constexpr std::size_t kStagedEnding = std::string_view(".veltran-XXXXXX").size();

// The file a staged name was made for: the page itself, also for the staged copy of its backup.
std::string StagedFor(const std::string& stagedName)
{
    std::string name = stagedName.substr(1, stagedName.size() - 1 - kStagedEnding);
    if (const std::optional<std::string> page = PageOfBackupName(name))
        return *page;
    return name;
}

// Whether a run holds the lock of `file` now: it is converting it, and its staged file is no stray.
bool LockedByARun(const std::filesystem::path& file, const FileSystemCalls& calls)
{
    const int fd = calls.Open(file, O_RDONLY | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0)
        return false;
    const bool locked = calls.Lock(fd) == EWOULDBLOCK;
    ::close(fd);
    return locked;
}

} // namespace

Status RemoveStray(const std::filesystem::path& stray, const FileSystemCalls& calls)
{
    const std::string name = stray.filename().string();
    if (!IsStagedName(name))
        return Status::Failure(StatusCode::NotStaged);
    struct stat info = {};
    if (const int error = calls.LinkStat(stray, info); error != 0)
        return OpenFailure(error, false);
    if (!S_ISREG(info.st_mode))
        return Status::Failure(S_ISLNK(info.st_mode)   ? StatusCode::SymbolicLink
                               : S_ISDIR(info.st_mode) ? StatusCode::Folder
                                                       : StatusCode::SpecialFile);
    const std::string page = StagedFor(name);
    if (LockedByARun(stray.parent_path() / page, calls))
        return Status::Failure(StatusCode::StagedInUse, {.name = page});
    if (const int error = calls.Unlink(stray); error != 0)
        return Status::Failure(StatusCode::CannotRemove, {.systemError = error});
    return Status::Success();
}

} // namespace veltran
