#include "FileSystemCalls.h"

#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <string>
#include <string_view>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/uio.h>
#include <sys/xattr.h>
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

int FileSystemCalls::LinkOpenFile(int fd, const std::filesystem::path& to) const
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

int FileSystemCalls::CreateNew(const std::filesystem::path& path, mode_t mode) const
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    return fd >= 0 ? fd : -errno;
}

long FileSystemCalls::Write(int fd, const void* data, std::size_t size) const
{
    const auto* bytes = static_cast<const char*>(data);
    std::size_t left = size;
    while (left > 0) {
        const ssize_t written = ::write(fd, bytes, left);
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return -errno;
        bytes += written;
        left -= static_cast<std::size_t>(written);
    }
    return static_cast<long>(size);
}

long FileSystemCalls::ReadAt(int fd, void* buffer, std::size_t size, off_t offset) const
{
    ssize_t n = 0;
    do
        n = ::pread(fd, buffer, size, offset);
    while (n < 0 && errno == EINTR);
    return n >= 0 ? static_cast<long>(n) : -errno;
}

int FileSystemCalls::Unlink(const std::filesystem::path& path) const
{
    return ErrorOf(::unlink(path.c_str()));
}

int FileSystemCalls::Access(const std::filesystem::path& path, int mode) const
{
    return ErrorOf(::access(path.c_str(), mode));
}

int FileSystemCalls::Lock(int fd) const
{
    int result = 0;
    do
        result = ::flock(fd, LOCK_EX | LOCK_NB);
    while (result != 0 && errno == EINTR);
    return ErrorOf(result);
}

int FileSystemCalls::ChangeOwner(int fd, uid_t owner, gid_t group) const
{
    return ErrorOf(::fchown(fd, owner, group));
}

int FileSystemCalls::ChangeMode(int fd, mode_t mode) const
{
    return ErrorOf(::fchmod(fd, mode));
}

namespace {

// Asks for the size first, then reads; the value may grow in between, which asks again.
template <typename Call> int ReadSized(std::string& out, Call call)
{
    for (int attempt = 0; attempt < 4; ++attempt) {
        const ssize_t size = call(nullptr, 0);
        if (size < 0)
            return errno;
        if (size == 0) {
            out.clear();
            return 0;
        }
        out.resize(static_cast<std::size_t>(size));
        const ssize_t got = call(out.data(), out.size());
        if (got >= 0) {
            out.resize(static_cast<std::size_t>(got));
            return 0;
        }
        if (errno != ERANGE)
            return errno;
    }
    return ERANGE;
}

} // namespace

int FileSystemCalls::ListAttributes(int fd, std::string& names) const
{
    return ReadSized(names, [fd](char* buffer, std::size_t size) { return ::flistxattr(fd, buffer, size); });
}

int FileSystemCalls::GetAttribute(int fd, const std::string& name, std::string& value) const
{
    return ReadSized(
        value, [fd, &name](char* buffer, std::size_t size) { return ::fgetxattr(fd, name.c_str(), buffer, size); });
}

int FileSystemCalls::SetAttribute(int fd, const std::string& name, const std::string& value) const
{
    return ErrorOf(::fsetxattr(fd, name.c_str(), value.data(), value.size(), 0));
}

int FileSystemCalls::Generation(int fd, std::uint32_t& generation) const
{
    // The kernel writes an int (FS_IOC_GETVERSION is declared with a long, but every file system
    // that answers it copies 32 bits).
    int value = 0;
    if (::ioctl(fd, FS_IOC_GETVERSION, &value) != 0)
        return errno;
    generation = static_cast<std::uint32_t>(value);
    return 0;
}

bool FileSystemCalls::ReadAheadFromDisk(int fd, off_t length) const
{
    char first = 0;
    iovec into = {&first, 1};
    if (::preadv2(fd, &into, 1, 0, RWF_NOWAIT) >= 0 || errno != EAGAIN)
        return false;
    return ::posix_fadvise(fd, 0, length, POSIX_FADV_WILLNEED) == 0;
}

int FileSystemCalls::ListFolder(const std::filesystem::path& folder, std::vector<FolderEntry>& entries) const
{
    DIR* listing = ::opendir(folder.c_str());
    if (listing == nullptr)
        return errno;
    int error = 0;
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(listing);
        if (entry == nullptr) {
            error = errno;
            break;
        }
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..")
            entries.push_back({std::string(name), entry->d_type});
    }
    ::closedir(listing);
    return error;
}

off_t FileSystemCalls::FirstHole(int fd) const
{
    const off_t hole = ::lseek(fd, 0, SEEK_HOLE);
    return hole >= 0 ? hole : -errno;
}

int FileSystemCalls::RenameNoReplace(const std::filesystem::path& from, const std::filesystem::path& to) const
{
    return ErrorOf(::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE));
}

const FileSystemCalls& SystemFileCalls()
{
    static const FileSystemCalls calls;
    return calls;
}

} // namespace veltran
