#include "FileSystemCalls.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace veltran {

namespace {

int ErrorOf(int result)
{
    return result == 0 ? 0 : errno;
}

} // namespace

int FileSystemCalls::Open(const std::filesystem::path& path, int flags) const
{
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC);
    return fd >= 0 ? fd : -errno;
}

long FileSystemCalls::Read(int fd, void* buffer, std::size_t size) const
{
    ssize_t n = 0;
    do
        n = ::read(fd, buffer, size);
    while (n < 0 && errno == EINTR);
    return n >= 0 ? static_cast<long>(n) : -errno;
}

int FileSystemCalls::FileStat(int fd, struct stat& info) const
{
    return ErrorOf(::fstat(fd, &info));
}

int FileSystemCalls::Rename(const std::filesystem::path& from, const std::filesystem::path& to) const
{
    return ErrorOf(std::rename(from.c_str(), to.c_str()));
}

int FileSystemCalls::Link(const std::filesystem::path& from, const std::filesystem::path& to) const
{
    return ErrorOf(::link(from.c_str(), to.c_str()));
}

int FileSystemCalls::Stat(const std::filesystem::path& path, struct stat& info) const
{
    return ErrorOf(::stat(path.c_str(), &info));
}

int FileSystemCalls::LinkStat(const std::filesystem::path& path, struct stat& info) const
{
    return ErrorOf(::lstat(path.c_str(), &info));
}

int FileSystemCalls::OpenUnnamed(const std::filesystem::path& folder, mode_t mode) const
{
    const int fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
    return fd >= 0 ? fd : -errno;
}

int FileSystemCalls::LinkUnnamed(int fd, const std::filesystem::path& to) const
{
    // AT_EMPTY_PATH names the descriptor itself, the shortest way, but needs CAP_DAC_READ_SEARCH
    // (ENOENT without it); naming it through /proc needs no privilege.
    if (::linkat(fd, "", AT_FDCWD, to.c_str(), AT_EMPTY_PATH) == 0)
        return 0;
    if (errno != ENOENT)
        return errno;
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    return ErrorOf(::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, to.c_str(), AT_SYMLINK_FOLLOW));
}

int FileSystemCalls::Sync(int fd) const
{
    return ErrorOf(::fsync(fd));
}

const FileSystemCalls& SystemFileCalls()
{
    static const FileSystemCalls calls;
    return calls;
}

} // namespace veltran
