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
    std::vector<std::filesystem::path> alreadyUndone; // hold their originals again, with no backup to move
    std::vector<UndoRefusal> refused;
    bool touchedNothing = true; // the check refused files, so none was put back
};

/// Puts back the files a run reported converted, each from its own backup by one rename, but only
/// when every one of them can be: each file must still be the regular file the run wrote and its
/// backup the original (by SHA-256; neither a link nor anything but a regular file). The whole report
/// is read and checked first (ReadRunReport); if any file refuses, none is touched and every refusal
/// is listed. A file that holds its original again (an undo done already) is counted, not refused.
/// Just before its rename each file and backup is checked again to be the one that was read; a rename
/// that fails then is listed and the others go on.
UndoOutcome UndoRun(const std::filesystem::path& reportFile, const FileSystemCalls& calls = SystemFileCalls());

} // namespace veltran
