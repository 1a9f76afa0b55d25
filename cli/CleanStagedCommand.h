#pragma once

#include "CliRun.h"

#include <filesystem>
#include <vector>

namespace veltran {

/// veltran-cli --clean-staged FOLDER...: removes the files that killed runs staged in the folders (at
/// every depth; a path that is no folder is skipped) through RemoveStray, names each removed one on
/// standard output and each kept one with its reason on standard error, then says how many went
/// (`quiet`: only the kept ones are told). Returns 0 when every stray went (or there was none), 1 otherwise.
int RunCleanStagedCommand(const std::vector<std::filesystem::path>& folders, bool quiet,
                          const CliEnvironment& environment);

/// Names on standard error each stray `strays` holds, saying how to remove them; nothing when none.
void ReportStrays(const std::vector<std::filesystem::path>& strays, std::ostream& err);

} // namespace veltran
