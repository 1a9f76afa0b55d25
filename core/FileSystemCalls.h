#pragma once

#include <filesystem>
#include <sys/stat.h>
#include <sys/types.h>

namespace veltran {

/// The file-system calls through which a file is read, staged and put in place. The program
/// uses the system's; tests override them to make a particular call fail, or to change the disk
/// at a chosen moment. Each returns 0 on success and otherwise the errno value, unless it says so.
class FileSystemCalls
{
public:
    virtual ~FileSystemCalls() = default;

    /// open(2) of an existing file with `flags` (O_RDONLY and the like). Returns the descriptor, or
    /// minus the errno value.
    virtual int Open(const std::filesystem::path& path, int flags) const;
    /// read(2), retried when a signal interrupts it. Returns the bytes read, or minus the errno value.
    virtual long Read(int fd, void* buffer, std::size_t size) const;
    /// fstat(2).
    virtual int FileStat(int fd, struct stat& info) const;
    /// rename(2).
    virtual int Rename(const std::filesystem::path& from, const std::filesystem::path& to) const;
    /// link(2): `to` becomes a second name of the file at `from`; fails with EEXIST when `to` exists.
    virtual int Link(const std::filesystem::path& from, const std::filesystem::path& to) const;
    /// stat(2), following links.
    virtual int Stat(const std::filesystem::path& path, struct stat& info) const;
    /// lstat(2): a link is described itself.
    virtual int LinkStat(const std::filesystem::path& path, struct stat& info) const;
    /// open(2) with O_TMPFILE: a file without a name in `folder`, open for writing with the
    /// permission bits `mode` (less the umask). Returns the descriptor, or minus the errno value
    /// (EOPNOTSUPP and the like where the file system cannot make one).
    virtual int OpenUnnamed(const std::filesystem::path& folder, mode_t mode) const;
    /// linkat(2): gives the unnamed file open as `fd` the name `to`.
    virtual int LinkUnnamed(int fd, const std::filesystem::path& to) const;
    /// fsync(2) of an open file or folder.
    virtual int Sync(int fd) const;
};

/// The system's own calls.
const FileSystemCalls& SystemFileCalls();

} // namespace veltran
