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
inline constexpr int kExitStopped = 130; // as a shell reports a process ended by SIGINT

/// Where veltran-cli writes and what it knows about its terminal.
struct CliEnvironment
{
    std::ostream& out;
    std::ostream& err;
    bool progressOnTerminal = false; // standard error is a terminal
    int terminalColumns = 80;
    std::size_t stopAfterFiles = 0; // test hook: raise stopSignal after this many files; 0 never
    int stopSignal = SIGINT;
};

/// The whole of veltran-cli after the program name: parses the arguments, reads the rules,
/// collects the files, runs the batch, writes the log and reports. Installs the SIGINT handler
/// just before the first file. Returns the exit status.
int RunCli(const std::vector<std::string>& arguments, const CliEnvironment& environment);

} // namespace veltran
