#include "StagedFile.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace veltran {

std::string SystemErrorText(int errorNumber)
{
    char buffer[256];
    // GNU strerror_r may return a static string instead of filling the buffer.
    return strerror_r(errorNumber, buffer, sizeof buffer);
}

std::optional<StagedFile> StagedFile::Create(const std::filesystem::path& finalPath, std::string& error)
{
    std::filesystem::path folder = finalPath.parent_path();
    // The name stays recognisable but short enough that a long final name still leaves room.
    constexpr std::size_t kNameBytesKept = 200;
    const std::string name = "." + finalPath.filename().string().substr(0, kNameBytesKept) + ".veltran-XXXXXX";
    std::string pattern = (folder.empty() ? std::filesystem::path(name) : folder / name).string();
    // mkstemp opens with O_EXCL, so an existing file of that name is never touched.
    const int fd = mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0) {
        const int createError = errno;
        error = "cannot create a file in the folder: " + SystemErrorText(createError);
        errno = createError; // callers tell a permission problem from others by errno
        return std::nullopt;
    }
    return StagedFile(pattern, fd);
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

bool StagedFile::Write(ByteView bytes, std::string& error)
{
    const std::uint8_t* data = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(m_fd, data, left);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            error = "write failed: " + SystemErrorText(errno);
            return false;
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    return true;
}

bool StagedFile::Sync(std::string& error)
{
    if (::fsync(m_fd) != 0) {
        error = "write failed: " + SystemErrorText(errno);
        return false;
    }
    return true;
}

bool StagedFile::CopyModeAndOwner(mode_t mode, uid_t owner, gid_t group, std::string& error)
{
    // Owner first: changing the owner clears set-user-ID bits, which fchmod then restores.
    if (::fchown(m_fd, owner, group) != 0 && errno != EPERM) {
        error = "cannot set the owner: " + SystemErrorText(errno);
        return false;
    }
    if (::fchmod(m_fd, mode & 07777) != 0) {
        error = "cannot set the permissions: " + SystemErrorText(errno);
        return false;
    }
    return true;
}

bool StagedFile::Close(std::string& error)
{
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0) {
        error = "write failed: " + SystemErrorText(errno);
        return false;
    }
    return true;
}

} // namespace veltran
