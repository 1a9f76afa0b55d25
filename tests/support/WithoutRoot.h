#pragma once

#include <functional>
#include <grp.h>
#include <optional>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace veltran::test {

/// Runs `work` where permission bits count: in a child process that has given up root when the
/// tests run as root (root ignores the bits), directly otherwise. Returns what `work` returned,
/// or nothing when the child could not drop its rights or failed.
inline std::optional<std::string> RunWithoutRoot(const std::function<std::string()>& work)
{
    if (::geteuid() != 0)
        return work();
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        return std::nullopt;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeEnds[0]);
        constexpr uid_t kNobody = 65534;
        if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
            ::_exit(77);
        const std::string text = work();
        const bool written = ::write(pipeEnds[1], text.data(), text.size()) == static_cast<ssize_t>(text.size());
        ::_exit(written ? 0 : 1);
    }
    ::close(pipeEnds[1]);
    std::string text;
    char buffer[4096];
    for (ssize_t got; (got = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<std::size_t>(got));
    ::close(pipeEnds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    return text;
}

} // namespace veltran::test
