#include "FileReader.h"

#include "SystemError.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace veltran {
namespace {

Status OpenFailure(int error, bool followLinks)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return Status::Failure(StatusCode::NotFound, "file not found");
    case EACCES:
    case EPERM:
        return Status::Failure(StatusCode::Permission, "permission denied");
    case ELOOP:
        // O_NOFOLLOW says a link is at the path with the same error as a loop of links.
        return followLinks ? Status::Failure(StatusCode::LinkLoop, "too many levels of symbolic links")
                           : Status::Failure(StatusCode::SymbolicLink, "is a symbolic link");
    default:
        return Status::Failure(StatusCode::ReadFailed, "cannot open: " + SystemErrorText(error));
    }
}

Status KindFailure(mode_t mode)
{
    if (S_ISDIR(mode))
        return Status::Failure(StatusCode::NotRegularFile, "is a folder");
    return Status::Failure(StatusCode::NotRegularFile, "is not a regular file (a FIFO, device or socket)");
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
        return Status::Failure(StatusCode::ReadFailed, "cannot read: " + SystemErrorText(error));
    if (!S_ISREG(file.info.st_mode))
        return KindFailure(file.info.st_mode);
    const auto tooLarge = [&limits] {
        return Status::Failure(StatusCode::TooLarge, "is larger than " + std::to_string(limits.largest) + " bytes");
    };
    const auto size = static_cast<std::uint64_t>(file.info.st_size);
    if (size > limits.largest)
        return tooLarge();
    if (limits.lock && calls.Lock(fd) == EWOULDBLOCK)
        return Status::Failure(StatusCode::BeingConverted, "being converted by another run");
    // One byte more than the size: a read that leaves it unfilled has met the end, which saves asking
    // again; a file that grew is read on in steps, up to the limit.
    file.bytes.Reserve(static_cast<std::size_t>(size) + 1);
    for (;;) {
        if (file.bytes.size() == file.bytes.capacity()) {
            if (file.bytes.size() > limits.largest)
                return tooLarge();
            file.bytes.Reserve(file.bytes.capacity() + 65536);
        }
        const long n = calls.Read(fd, file.bytes.data() + file.bytes.size(), file.bytes.capacity() - file.bytes.size());
        if (n < 0)
            return Status::Failure(StatusCode::ReadFailed, "cannot read: " + SystemErrorText(static_cast<int>(-n)));
        if (n == 0)
            break;
        file.bytes.Extend(static_cast<std::size_t>(n));
        if (file.bytes.size() >= size && file.bytes.size() < file.bytes.capacity())
            break;
    }
    if (file.bytes.size() > limits.largest)
        return tooLarge();
    if (!limits.keepOpen)
        file.open = OpenFile();
    return file;
}

} // namespace veltran
