#pragma once

#include "CliRun.h"
#include "CommandLine.h"
#include "RuleTable.h"

namespace veltran {

/// veltran-cli -f ENC -t ENC [-o OUT] [FILE|-]: converts the one FILE, or standard input when it is
/// "-" or not given, to OUT, or standard output when OUT is "-" or not given. The input stays as it
/// is and no backup is made. OUT is replaced in one piece (ReplaceFile), so on failure it keeps what
/// it held; standard output gets nothing on failure. `rules` hold the run's rules, the charset rule
/// made first when asked. Failures and lost characters go to standard error. Returns 0 when written,
/// 1 when the input could not be read or converted or the output not written, 2 when -o names FILE.
int RunStreamCommand(const CommandLine& commandLine, RuleTable& rules, bool applyRules,
                     const CliEnvironment& environment);

} // namespace veltran
