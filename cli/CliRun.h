#pragma once

#include <csignal>
#include <cstddef>
#include <ostream>
#include <string>
#include <vector>

namespace veltran {

/// Exit statuses of veltran-cli.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitSomeFailed = 1;
inline constexpr int kExitUsage = 2;
/// A run stopped by a signal exits as a shell reports a process that signal ended: 128 and its
/// number (130 SIGINT, 143 SIGTERM, 129 SIGHUP).
inline constexpr int ExitStatusOfSignal(int signal)
{
    return 128 + signal;
}

/// Where veltran-cli writes and what it knows about its terminal.
struct CliEnvironment
{
    std::ostream& out;
    std::ostream& err;
    bool progressOnTerminal = false; // standard error is a terminal
    int terminalColumns = 80;
    std::size_t stopAfterFiles = 0; // test hook: raise stopSignal once this many files started; 0 never
    int stopSignal = SIGINT;
};

/// The whole of veltran-cli after the program name: parses the arguments, reads the rules,
/// collects the files, runs the batch, writes the log and reports. Installs the handlers of the stop
/// signals (and ignores SIGXFSZ) just before the first file. Names are shown escaped by ShownName.
/// Returns the exit status.
int RunCli(const std::vector<std::string>& arguments, const CliEnvironment& environment);

} // namespace veltran
