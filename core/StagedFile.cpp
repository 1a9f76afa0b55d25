#include "StagedFile.h"

#include "SystemError.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace veltran {

namespace {

constexpr int kNameAttempts = 100;

Status WriteFailure(int errorNumber)
{
    return Status::Failure(StatusCode::WriteFailed, {.systemError = errorNumber});
}

Status CreateFailure(int errorNumber)
{
    return Status::Failure(StatusCode::CannotCreate, {.systemError = errorNumber});
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

std::filesystem::path FolderOf(const std::filesystem::path& path)
{
    return path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
}

} // namespace

std::filesystem::path TemporaryNameBeside(const std::filesystem::path& finalPath)
{
    // The name stays recognisable but short enough that a long final name still leaves room.
    constexpr std::size_t kNameBytesKept = 200;
    // Spelled on the path's text, once per file: taking the path apart into components costs more.
    const std::string& text = finalPath.native();
    const std::size_t slash = text.rfind('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    std::string staged = text.substr(0, nameStart);
    staged += '.';
    staged.append(text, nameStart, kNameBytesKept);
    staged += ".veltran-";
    staged += RandomSuffix();
    return staged;
}

bool IsStagedName(std::string_view name)
{
    constexpr std::string_view kMark = ".veltran-";
    constexpr std::size_t kSuffix = 6;
    if (name.size() < 2 + kMark.size() + kSuffix || name.front() != '.')
        return false;
    const std::string_view suffix = name.substr(name.size() - kSuffix);
    return name.substr(name.size() - kSuffix - kMark.size(), kMark.size()) == kMark &&
           std::all_of(suffix.begin(), suffix.end(), [](char c) {
               return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
           });
}

Result<StagedFile> StagedFile::Create(const std::filesystem::path& finalPath, mode_t mode, const FileSystemCalls& calls)
{
    const int unnamed = calls.OpenUnnamed(FolderOf(finalPath), mode);
    if (unnamed >= 0)
        return StagedFile({}, unnamed, calls);
    // Any failure of the unnamed file (a file system without it, an old kernel) leaves the named
    // file to try, whose error is the one that counts.
    // mkstemp would fix the mode at 0600; creating with O_EXCL ourselves lets the umask apply.
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        const std::filesystem::path path = TemporaryNameBeside(finalPath);
        const int fd = calls.CreateNew(path, mode);
        if (fd >= 0)
            return StagedFile(path, fd, calls);
        if (fd != -EEXIST)
            return CreateFailure(-fd);
    }
    return Status::Failure(StatusCode::CannotCreate);
}

StagedFile::StagedFile(StagedFile&& other) noexcept
    : m_path(std::move(other.m_path)), m_fd(other.m_fd), m_calls(other.m_calls), m_released(other.m_released)
{
    other.m_path.clear();
    other.m_fd = -1;
    other.m_released = true;
}

StagedFile::~StagedFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
    if (!m_released && !m_path.empty())
        m_calls->Unlink(m_path);
}

Status StagedFile::Write(ByteView bytes)
{
    if (bytes.empty())
        return Status::Success();
    const long written = m_calls->Write(m_fd, bytes.data(), bytes.size());
    return written >= 0 ? Status::Success() : WriteFailure(static_cast<int>(-written));
}

Status StagedFile::Sync()
{
    const int error = m_calls->Sync(m_fd);
    return error == 0 ? Status::Success() : WriteFailure(error);
}

Status StagedFile::Name(const std::filesystem::path& finalPath)
{
    if (!m_path.empty()) {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0 ? Status::Success() : WriteFailure(errno);
    }
    // The unnamed file gets its name only now, just before the rename, so that a process killed
    // while the content was written leaves no name behind. Its descriptor stays open until the
    // rename is done, which keeps the moment with a second name short; closing a file of a local
    // file system (the only ones that make unnamed files) reports nothing that writing did not.
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        std::filesystem::path path = TemporaryNameBeside(finalPath);
        const int error = m_calls->LinkOpenFile(m_fd, path);
        if (error == 0) {
            m_path = std::move(path);
            return Status::Success();
        }
        if (error != EEXIST)
            return Status::Failure(StatusCode::CannotNameNewFile, {.systemError = error});
    }
    return Status::Failure(StatusCode::CannotNameNewFile);
}

} // namespace veltran
