#pragma once

#include "CliRun.h"

#include <filesystem>

namespace veltran {

/// veltran-cli --undo REPORT: puts back the files the report's run converted (UndoRun), lists on
/// standard error each file it refused and why, and says what it did on standard output. Returns
/// the exit status: 0 when every file holds its original, 1 when some could not be put back, 2
/// when the report cannot be used.
int RunUndoCommand(const std::filesystem::path& report, const CliEnvironment& environment);

} // namespace veltran
