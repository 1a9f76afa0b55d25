#include "StagedFile.h"

#include "SystemError.h"

#include <cerrno>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace veltran {

namespace {

Status WriteFailure(int errorNumber)
{
    return Status::Failure(StatusCode::WriteFailed, "write failed: " + SystemErrorText(errorNumber));
}

std::string RandomSuffix()
{
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    thread_local std::mt19937_64 random{std::random_device{}()};
    std::string suffix(6, ' ');
    for (char& c : suffix)
        c = kLetters[random() % (sizeof kLetters - 1)];
    return suffix;
}

} // namespace

Result<StagedFile> StagedFile::Create(const std::filesystem::path& finalPath, mode_t mode)
{
    const std::filesystem::path folder = finalPath.parent_path();
    // The name stays recognisable but short enough that a long final name still leaves room.
    constexpr std::size_t kNameBytesKept = 200;
    const std::string stem = "." + finalPath.filename().string().substr(0, kNameBytesKept) + ".veltran-";
    // mkstemp would fix the mode at 0600; creating with O_EXCL ourselves lets the umask apply.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::filesystem::path path = folder / (stem + RandomSuffix());
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0)
            return StagedFile(path, fd);
        if (errno != EEXIST) {
            const int createError = errno;
            return Status::Failure(createError == EACCES || createError == EPERM ? StatusCode::Permission
                                                                                 : StatusCode::WriteFailed,
                                   "cannot create a file in the folder: " + SystemErrorText(createError));
        }
    }
    return Status::Failure(StatusCode::WriteFailed, "cannot create a file in the folder: no free temporary name");
}

StagedFile::StagedFile(StagedFile&& other) noexcept
    : m_path(std::move(other.m_path)), m_fd(other.m_fd), m_released(other.m_released)
{
    other.m_fd = -1;
    other.m_released = true;
}

StagedFile::~StagedFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
    if (!m_released)
        ::unlink(m_path.c_str());
}

Status StagedFile::Write(ByteView bytes)
{
    const std::uint8_t* data = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(m_fd, data, left);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return WriteFailure(errno);
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    return Status::Success();
}

Status StagedFile::Sync()
{
    return ::fsync(m_fd) == 0 ? Status::Success() : WriteFailure(errno);
}

Status StagedFile::SetOwnership(mode_t mode, uid_t owner, gid_t group)
{
    // Mostly the new file has them already, and one look costs less than changing them.
    struct stat info = {};
    if (::fstat(m_fd, &info) == 0 && info.st_uid == owner && info.st_gid == group &&
        (info.st_mode & 07777) == (mode & 07777))
        return Status::Success();
    // Owner first: changing the owner clears set-user-ID bits, which fchmod then restores.
    if (::fchown(m_fd, owner, group) != 0 && errno != EPERM)
        return Status::Failure(StatusCode::WriteFailed, "cannot set the owner: " + SystemErrorText(errno));
    if (::fchmod(m_fd, mode & 07777) != 0)
        return Status::Failure(StatusCode::WriteFailed, "cannot set the permissions: " + SystemErrorText(errno));
    return Status::Success();
}

Status StagedFile::Close()
{
    const int fd = m_fd;
    m_fd = -1;
    return ::close(fd) == 0 ? Status::Success() : WriteFailure(errno);
}

} // namespace veltran
