#pragma once

#include "ByteBuffer.h"
#include "FileSystemCalls.h"
#include "Status.h"

#include <cstdint>
#include <filesystem>
#include <limits>
#include <sys/stat.h>
#include <utility>

namespace veltran {

/// How ReadRegularFile may read.
struct ReadLimits
{
    std::uint64_t largest = std::numeric_limits<std::uint64_t>::max(); // bytes a file may hold
    bool followLinks = true;   // false: a symbolic link at the path is refused, not followed
    bool keepOpen = false;     // the file stays open, for what is done with it next
    bool lock = false;         // with keepOpen: an exclusive advisory lock is taken before it is read
    bool refuseBinary = false; // a file with holes (before a byte is read) or of NUL bytes only fails
};

/// An open file's descriptor, closed when the holder goes.
class OpenFile
{
public:
    OpenFile() = default;
    explicit OpenFile(int fd) : m_fd(fd) {}
    OpenFile(OpenFile&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    OpenFile& operator=(OpenFile&& other) noexcept
    {
        std::swap(m_fd, other.m_fd);
        return *this;
    }
    ~OpenFile();

    int Descriptor() const { return m_fd; }

private:
    int m_fd = -1;
};

/// A file read whole, what fstat said of it when it was opened, and, where asked, the file still open.
struct FileContent
{
    ByteBuffer bytes;
    struct stat info = {};
    OpenFile open; // with keepOpen
};

/// Why a file could not be opened (or examined) for the errno value `error`: NotFound, Permission
/// ("permission denied"), LinkLoop or, when links are not followed, SymbolicLink for ELOOP, and
/// OpenFailed with the system's reason ("cannot open: File name too long").
Status OpenFailure(int error, bool followLinks = true);

/// Reads a whole regular file through `calls`, the one way the program reads a file it was given
/// (a page to convert, a rules file, a run report, a file to show). Refuses, without blocking and
/// before reading a byte, what is not a regular file (Folder; a FIFO, device or socket: SpecialFile),
/// a file larger than the limit (TooLarge) and, where asked, a symbolic link (SymbolicLink). Other
/// failures: NotFound, Permission, LinkLoop (too many levels of links), OpenFailed and ReadFailed,
/// each with the system's reason; where a lock is asked for and another process holds one,
/// BeingConverted; where binary files are refused, SparseFile (before a byte is read) and NulBytesOnly.
/// A file that grows while it is read is read up to the limit.
Result<FileContent> ReadRegularFile(const std::filesystem::path& path, const ReadLimits& limits = {},
                                    const FileSystemCalls& calls = SystemFileCalls());

} // namespace veltran
