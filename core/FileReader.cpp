#include "FileReader.h"

#include "SystemError.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace veltran {

Status OpenFailure(int error, bool followLinks)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return Status::Failure(StatusCode::NotFound);
    case EACCES:
    case EPERM:
        return Status::Failure(StatusCode::Permission);
    case ELOOP:
        // O_NOFOLLOW says a link is at the path with the same error as a loop of links.
        return Status::Failure(followLinks ? StatusCode::LinkLoop : StatusCode::SymbolicLink);
    default:
        return Status::Failure(StatusCode::OpenFailed, {.systemError = error});
    }
}

namespace {

Status KindFailure(mode_t mode)
{
    if (S_ISDIR(mode))
        return Status::Failure(StatusCode::Folder);
    return Status::Failure(StatusCode::SpecialFile);
}

// Holes are runs of NUL bytes that take no room on the disk: no editor makes them in a page. Asked
// before reading, so a large sparse file is neither read into memory nor written out.
bool HasHoles(int fd, std::uint64_t size, const FileSystemCalls& calls)
{
    const off_t hole = calls.FirstHole(fd);
    return hole >= 0 && static_cast<std::uint64_t>(hole) < size;
}

bool OnlyNulBytes(const ByteBuffer& bytes)
{
    return bytes.size() > 0 &&
           std::all_of(bytes.data(), bytes.data() + bytes.size(), [](std::uint8_t b) { return b == 0; });
}

} // namespace

OpenFile::~OpenFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

Result<FileContent> ReadRegularFile(const std::filesystem::path& path, const ReadLimits& limits,
                                    const FileSystemCalls& calls)
{
    // O_NONBLOCK: opening a FIFO that no one writes would wait for ever; it is refused once fstat
    // has seen it, as is a device.
    const int fd = calls.Open(path, O_RDONLY | O_NONBLOCK | (limits.followLinks ? 0 : O_NOFOLLOW));
    if (fd < 0)
        return OpenFailure(-fd, limits.followLinks);
    FileContent file;
    file.open = OpenFile(fd);
    if (const int error = calls.FileStat(fd, file.info); error != 0)
        return Status::Failure(StatusCode::ReadFailed, {.systemError = error});
    if (!S_ISREG(file.info.st_mode))
        return KindFailure(file.info.st_mode);
    const auto tooLarge = [&limits] { return Status::Failure(StatusCode::TooLarge, {.number = limits.largest}); };
    const auto size = static_cast<std::uint64_t>(file.info.st_size);
    if (size > limits.largest)
        return tooLarge();
    if (limits.lock && calls.Lock(fd) == EWOULDBLOCK)
        return Status::Failure(StatusCode::BeingConverted);
    if (limits.refuseBinary && HasHoles(fd, size, calls))
        return Status::Failure(StatusCode::SparseFile);
    // One byte more than the size: a read that leaves it unfilled has met the end, which saves asking
    // again; a file that grew is read on in steps, up to the limit.
    file.bytes.Reserve(static_cast<std::size_t>(size) + 1);
    for (;;) {
        if (file.bytes.size() == file.bytes.capacity()) {
            if (file.bytes.size() > limits.largest)
                return tooLarge();
            file.bytes.Reserve(file.bytes.capacity() + 65536);
        }
        const long n = calls.ReadAt(fd, file.bytes.data() + file.bytes.size(),
                                    file.bytes.capacity() - file.bytes.size(), static_cast<off_t>(file.bytes.size()));
        if (n < 0)
            return Status::Failure(StatusCode::ReadFailed, {.systemError = static_cast<int>(-n)});
        if (n == 0)
            break;
        file.bytes.Extend(static_cast<std::size_t>(n));
        if (file.bytes.size() >= size && file.bytes.size() < file.bytes.capacity())
            break;
    }
    if (file.bytes.size() > limits.largest)
        return tooLarge();
    if (limits.refuseBinary && OnlyNulBytes(file.bytes))
        return Status::Failure(StatusCode::NulBytesOnly);
    if (!limits.keepOpen)
        file.open = OpenFile();
    return file;
}

} // namespace veltran
