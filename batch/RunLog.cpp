#include "RunLog.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace veltran {

namespace {

constexpr std::string_view kLineBreak = "\r\n";
constexpr int kTemporaryNameAttempts = 16;

std::string ErrorText(const std::string& what, const std::filesystem::path& path, int errorNumber)
{
    return what + " " + path.string() + ": " + std::strerror(errorNumber);
}

// Closes the descriptor and removes the temporary file unless the rename has taken it over.
class TemporaryFile
{
public:
    TemporaryFile(int fd, std::filesystem::path path) : m_fd(fd), m_path(std::move(path)) {}
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        if (!m_renamed)
            ::unlink(m_path.c_str());
    }

    int fd() const { return m_fd; }
    const std::filesystem::path& path() const { return m_path; }

    // Returns the errno of a failed close, 0 otherwise; close is where some file systems report write errors.
    int Close()
    {
        const int result = ::close(m_fd);
        m_fd = -1;
        return result == 0 ? 0 : errno;
    }
    void MarkRenamed() { m_renamed = true; }

private:
    int m_fd;
    std::filesystem::path m_path;
    bool m_renamed = false;
};

// Creates a new file beside the log with O_EXCL, so an existing file (or a link planted under
// the name) is never opened or overwritten.
int CreateExclusive(const std::filesystem::path& logPath, std::filesystem::path& created, int& errorNumber)
{
    std::random_device seed;
    std::mt19937 generator(seed());
    for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
        std::filesystem::path candidate = logPath;
        candidate += ".tmp" + std::to_string(generator() % 1000000);
        const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            created = std::move(candidate);
            return fd;
        }
        errorNumber = errno;
        if (errorNumber != EEXIST)
            return -1;
    }
    return -1;
}

} // namespace

void RunLog::AddHeader(std::string_view sourceName, std::string_view targetName, std::string_view startTime)
{
    m_text += "<Veltran 运行日志>";
    m_text += kLineBreak;
    m_text += "开始时间：";
    m_text += startTime;
    m_text += kLineBreak;
    m_text += "执行操作：";
    m_text += sourceName;
    m_text += " --> ";
    m_text += targetName;
    m_text += kLineBreak;
    m_text += kLineBreak;
}

void RunLog::AddFailure(std::string_view path)
{
    m_text += "处理失败：";
    m_text += path;
    m_text += kLineBreak;
}

void RunLog::AddStop(std::string_view path, std::string_view stopTime)
{
    m_text += "*** 处理过程被用户终止于 ***";
    m_text += kLineBreak;
    m_text += path;
    m_text += kLineBreak;
    m_text += kLineBreak;
    m_text += "终止时间：";
    m_text += stopTime;
}

void RunLog::AddCompletion(std::string_view endTime)
{
    m_text += kLineBreak;
    m_text += "完成时间：";
    m_text += endTime;
}

LogWriteResult WriteRunLog(const std::filesystem::path& logPath, std::string_view text)
{
    std::filesystem::path temporaryPath;
    int errorNumber = 0;
    const int fd = CreateExclusive(logPath, temporaryPath, errorNumber);
    if (fd < 0)
        return {ErrorText("cannot create a temporary file beside", logPath, errorNumber)};
    TemporaryFile temporary(fd, temporaryPath);

    const char* data = text.data();
    std::size_t left = text.size();
    while (left > 0) {
        const ssize_t written = ::write(temporary.fd(), data, left);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return {ErrorText("cannot write", temporary.path(), errno)};
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    if (::fsync(temporary.fd()) != 0)
        return {ErrorText("cannot write", temporary.path(), errno)};
    if (const int closeError = temporary.Close(); closeError != 0)
        return {ErrorText("cannot write", temporary.path(), closeError)};
    if (::rename(temporary.path().c_str(), logPath.c_str()) != 0)
        return {ErrorText("cannot replace", logPath, errno)};
    temporary.MarkRenamed();
    return {};
}

} // namespace veltran
