#pragma once

#include "FileSystemCalls.h"
#include "Status.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace veltran {

/// One file a run converted with a backup, as its report tells it.
struct ReportedFile
{
    std::filesystem::path file;   // absolute
    std::filesystem::path backup; // the file's own ".bak"
    std::string originalSha256;   // of the original, which the backup holds
    std::string writtenSha256;    // of what the run wrote at the path
    std::uint64_t bytesRead = 0;
    std::uint64_t bytesWritten = 0;
};

/// What a run report says of a run that kept backups: the folders and files it was given and the
/// files it converted.
struct ReportedRun
{
    std::vector<std::filesystem::path> roots; // absolute
    std::vector<ReportedFile> converted;
};

/// The largest report read: a run over a million files writes about 400 MB.
inline constexpr std::uint64_t kLargestReport = 1ull << 30;

/// Reads a report written by WriteRunReport and checks every entry before anything is done with it:
/// each converted file's path must be absolute, plain (no "." or ".." in it) and inside one of the
/// run's roots, its backup must be its own ".bak" (or numbered ".bak.~N~"), and its digests SHA-256 in
/// hexadecimal. A report
/// that is not a regular file, is larger than kLargestReport, is not JSON of that shape, or is of a
/// dry run or a run without backups fails (BadInput, or the reader's code), naming the first fault.
Result<ReportedRun> ReadRunReport(const std::filesystem::path& reportFile,
                                  const FileSystemCalls& calls = SystemFileCalls());

} // namespace veltran
