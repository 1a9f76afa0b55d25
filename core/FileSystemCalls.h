#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <sys/types.h>
#include <vector>

namespace veltran {

/// One name in a folder and what the listing says it is: DT_REG, DT_DIR, DT_LNK and the like, or
/// DT_UNKNOWN where the file system does not say.
struct FolderEntry
{
    std::string name;
    unsigned char type = 0;
};

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
    /// linkat(2): gives the file open as `fd` (an unnamed one, or one whose names may have changed
    /// since it was opened) the further name `to`. Fails with ENOENT when the file has no name left
    /// (it was deleted or replaced) and the system cannot link it from its descriptor, with EEXIST when
    /// `to` exists.
    virtual int LinkOpenFile(int fd, const std::filesystem::path& to) const;
    /// fsync(2) of an open file or folder.
    virtual int Sync(int fd) const;
    /// open(2) with O_CREAT | O_EXCL: a new file at `path`, open for writing with the permission bits
    /// `mode` (less the umask). Returns the descriptor, or minus the errno value (EEXIST when taken).
    virtual int CreateNew(const std::filesystem::path& path, mode_t mode) const;
    /// write(2) of all `size` bytes, retried when a signal interrupts it or it writes less. Returns the
    /// bytes written, or minus the errno value.
    virtual long Write(int fd, const void* data, std::size_t size) const;
    /// pread(2), retried when a signal interrupts it. Returns the bytes read, or minus the errno value.
    virtual long ReadAt(int fd, void* buffer, std::size_t size, off_t offset) const;
    /// unlink(2).
    virtual int Unlink(const std::filesystem::path& path) const;
    /// access(2) with `mode` (W_OK and the like), as the real user.
    virtual int Access(const std::filesystem::path& path, int mode) const;
    /// flock(2) LOCK_EX | LOCK_NB: an exclusive advisory lock on the open file, held until every
    /// descriptor of this opening is closed. EWOULDBLOCK when another opening holds it.
    virtual int Lock(int fd) const;
    /// fchown(2); -1 leaves the owner or the group as it is.
    virtual int ChangeOwner(int fd, uid_t owner, gid_t group) const;
    /// fchmod(2).
    virtual int ChangeMode(int fd, mode_t mode) const;
    /// flistxattr(2): the names of the file's extended attributes (ACLs among them), each ended by a
    /// NUL byte, into `names`. ENOTSUP where the file system keeps none.
    virtual int ListAttributes(int fd, std::string& names) const;
    /// fgetxattr(2): the value of the attribute `name` into `value`.
    virtual int GetAttribute(int fd, const std::string& name, std::string& value) const;
    /// fsetxattr(2): gives the file the attribute `name` with `value`.
    virtual int SetAttribute(int fd, const std::string& name, const std::string& value) const;
    /// opendir(3) and readdir(3): appends every name of the folder but "." and ".." to `entries`, in
    /// the file system's order. Returns the errno value of the opening or of a reading that failed
    /// part-way (the names read before it are kept).
    virtual int ListFolder(const std::filesystem::path& folder, std::vector<FolderEntry>& entries) const;
    /// lseek(2) SEEK_HOLE from the start: where the file's first hole begins, its size when it has
    /// none (or the file system does not tell), or minus the errno value. The file offset is left there:
    /// the file is read with ReadAt.
    virtual off_t FirstHole(int fd) const;
    /// renameat2(2) RENAME_NOREPLACE: fails with EEXIST when `to` exists, and with EINVAL (or ENOSYS)
    /// where the file system or the kernel cannot rename on that condition.
    virtual int RenameNoReplace(const std::filesystem::path& from, const std::filesystem::path& to) const;
    /// ioctl(2) FS_IOC_GETVERSION: the inode's generation, which tells a file from a later one that got
    /// its inode number. ENOTTY and the like where the file system does not tell it.
    virtual int Generation(int fd, std::uint32_t& generation) const;
    /// Asks the system to start reading the first `length` bytes of the file into memory
    /// (posix_fadvise(2) POSIX_FADV_WILLNEED), unless its first byte is in memory already
    /// (preadv2(2) RWF_NOWAIT), and returns without waiting. True when it asked; false when the
    /// file is in memory, or the system cannot tell.
    virtual bool ReadAheadFromDisk(int fd, off_t length) const;
};

/// The system's own calls.
const FileSystemCalls& SystemFileCalls();

} // namespace veltran
