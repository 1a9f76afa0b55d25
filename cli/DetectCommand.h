#pragma once

#include "CliRun.h"

#include <filesystem>
#include <string>
#include <vector>

namespace veltran {

/// veltran-cli --detect PATH...: for each file (a folder's as `filter` picks, as a conversion would
/// take them) one line on standard output, "PATH: ENCODING (REASON)", where ENCODING is GB, BIG5,
/// UTF-8, ASCII (no byte above 0x7F) or "undecided": the judgement of --from auto. A file that cannot
/// be read is told on standard error. Returns 0 when every file was decided, else 1.
int RunDetectCommand(const std::vector<std::filesystem::path>& paths, const std::string& filter,
                     const CliEnvironment& environment);

} // namespace veltran
