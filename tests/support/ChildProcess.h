#pragma once

#include <functional>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

namespace veltran::test {

/// How a piece of a test run in a child process ended.
struct ChildResult
{
    bool exited = false; // false: ended by a signal (an alarm, SIGXFSZ...)
    int status = -1;     // the exit status the work returned
    std::string text;    // the text the work returned
};

/// Runs `work` in a forked child, for what must not touch the test process (resource limits, signal
/// dispositions, a call that may block), and hands back the exit status and text it returns.
inline ChildResult RunInChild(const std::function<std::pair<int, std::string>()>& work)
{
    ChildResult result;
    int ends[2];
    if (::pipe(ends) != 0)
        return result;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(ends[0]);
        const auto [status, text] = work();
        const bool written = ::write(ends[1], text.data(), text.size()) == static_cast<ssize_t>(text.size());
        ::_exit(written ? status : 99);
    }
    ::close(ends[1]);
    char buffer[4096];
    for (ssize_t got; (got = ::read(ends[0], buffer, sizeof buffer)) > 0;)
        result.text.append(buffer, static_cast<std::size_t>(got));
    ::close(ends[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    result.exited = WIFEXITED(status);
    result.status = result.exited ? WEXITSTATUS(status) : -1;
    return result;
}

} // namespace veltran::test
