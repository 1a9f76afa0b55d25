#include "CliRun.h"

#include <charconv>
#include <csignal>
#include <cstdlib>
#include <iostream>
#include <string_view>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

constexpr int kFallbackColumns = 80;

int TerminalColumns(int fd)
{
    winsize size{};
    if (::ioctl(fd, TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        return size.ws_col;
    return kFallbackColumns;
}

// VELTRAN_CLI_TEST_STOP_AFTER=k makes the run act as if Ctrl-C were pressed once k files started, so
// that tests can stop it at a known place; unset, empty or not a positive number, it does nothing.
std::size_t StopAfterFromEnvironment()
{
    const char* value = std::getenv("VELTRAN_CLI_TEST_STOP_AFTER");
    if (value == nullptr)
        return 0;
    const std::string_view text(value);
    std::size_t count = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), count);
    return error == std::errc() && end == text.data() + text.size() ? count : 0;
}

// VELTRAN_CLI_TEST_STOP_SIGNAL=INT|TERM|HUP names the signal that VELTRAN_CLI_TEST_STOP_AFTER raises;
// SIGINT when unset or unknown.
int StopSignalFromEnvironment()
{
    const char* value = std::getenv("VELTRAN_CLI_TEST_STOP_SIGNAL");
    const std::string_view name(value == nullptr ? "" : value);
    if (name == "TERM")
        return SIGTERM;
    if (name == "HUP")
        return SIGHUP;
    return SIGINT;
}

} // namespace

int main(int argc, char** argv)
{
    // A reader that stops reading (veltran-cli ... | head) must not end the run before its log and
    // report are written: writes to the pipe fail instead.
    std::signal(SIGPIPE, SIG_IGN);
    std::ios::sync_with_stdio(true);
    const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    const bool terminal = ::isatty(STDERR_FILENO) == 1;
    const veltran::CliEnvironment environment{std::cout,
                                              std::cerr,
                                              terminal,
                                              terminal ? TerminalColumns(STDERR_FILENO) : kFallbackColumns,
                                              StopAfterFromEnvironment(),
                                              StopSignalFromEnvironment()};
    return veltran::RunCli(arguments, environment);
}
