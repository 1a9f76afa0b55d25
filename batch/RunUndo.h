#pragma once

#include "FileSystemCalls.h"
#include "Status.h"

#include <filesystem>
#include <string>
#include <vector>

namespace veltran {

struct UndoRefusal
{
    std::filesystem::path path;
    std::string reason;
};

struct UndoOutcome
{
    Status report; // the report could not be used at all: nothing was done
    std::vector<std::filesystem::path> restored;
    std::vector<UndoRefusal> refused; // files changed since the run, or whose backup did
};

/// Puts back the files a run reported converted, each from its backup by one rename, when the file
/// still holds exactly what the run wrote and the backup exactly the original (by SHA-256). Files
/// changed since, or whose backup is missing or changed, are left alone and listed. A report of a
/// run without backups, of a dry run, or one that cannot be read refuses the whole undo.
UndoOutcome UndoRun(const std::filesystem::path& reportFile, const FileSystemCalls& calls = SystemFileCalls());

} // namespace veltran
