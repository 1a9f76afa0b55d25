#pragma once

#include "BatchRun.h"
#include "RunJob.h"

#include <filesystem>
#include <string>

namespace veltran {

/// Writes the report of a run as JSON through ReplaceFile: the run's settings, the folders and files
/// it was given (its roots, absolute), start and end times and whether it was stopped, and for every
/// entry (those the run did not reach too) the path as given, the outcome and its reason (its code and sentence), the
/// file converted (absolute), what it was read as, the bytes read and written, the SHA-256 of the original and of the
/// new content, the backup, the characters the target lacked and the charset declarations found and rewritten. A path
/// that is not valid UTF-8 is shown escaped, with its bytes in hexadecimal beside it. The run must have kept its
/// records (with hashes for undo).
Status WriteRunReport(const std::filesystem::path& file, const RunRequest& request, const RunOutcome& outcome,
                      const std::string& started, const std::string& finished);

} // namespace veltran
