#pragma once

#include "FileSystemCalls.h"
#include "PathList.h"
#include "Status.h"

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace veltran {

/// The filter used when the user has not entered one.
inline constexpr std::string_view kDefaultFilter = "*.htm|*.html|*.js|*.asp|*.php|*.xml|*.aspx|*.txt";

/// Turns every ";" and "," of a typed filter into "|". Nothing is trimmed.
std::string NormalizeFilter(std::string_view typed);

/// Whole-name wildcard match ignoring letter case: * any run, ? one character, # one digit,
/// [set], [a-z] ranges, [!set] negation; everything else, "." included, stands for itself.
/// Both texts are UTF-8; a name that is not valid UTF-8 is matched with its bad bytes as U+FFFD.
/// Bracket details (unclosed "[" is literal, "[]" matches nothing) are those of WildcardPattern.
bool MatchesPattern(std::string_view name, std::string_view pattern);

/// Something the scan met and could not search or examine, and why ("permission denied", "cannot
/// open: File name too long").
struct ScanFailure
{
    std::filesystem::path path;
    Status reason;
};

struct FindFilesResult
{
    PathList files;                            // breadth first, in name order within a folder
    std::vector<ScanFailure> failures;         // in the order met; the scan went on
    std::vector<std::filesystem::path> strays; // files staged by a run that was killed, in the order met
    bool stopped = false;                      // the progress callback ended the scan early
};

/// Told after each folder has been listed: the files found so far and that folder. Returning false
/// ends the scan there; what was found is kept.
using ScanProgress = std::function<bool(std::size_t filesFound, const std::filesystem::path& folder)>;

/// Finds the files under `folder`, at every depth, whose names match one of the patterns of
/// `filter` ("|"-separated; the first match decides), breadth first: the folder's own files, then
/// those of its sub-folders, level after level; within a folder files and sub-folders go in name
/// order (SortByName: digits as numbers, letter case ignored). Hidden files count; folders are never
/// results. Symbolic links are never followed nor returned, whatever they point to (a link to a file
/// would reach a file twice, or one outside `folder`); pipes, sockets and devices are skipped too.
/// `folder` itself may be a link; it is what it points to that is searched. Paths keep the raw bytes
/// of the names. Nothing the scan meets vanishes unsaid: a folder that cannot be listed, and a name
/// that cannot be examined (lstat fails: a folder that may be listed but not searched, a path longer
/// than the system allows) that is a folder or matches the filter, are failures, and the scan goes on;
/// when the failure is `folder` itself (also when it has vanished) the file list is empty. A backup
/// ("<page>.bak", "<page>.bak.~N~") whose page is missing and matches the filter lists the page in its
/// place, for the run to put back; the backup itself is then not listed. Files staged by a run that
/// was killed (IsStagedName) are strays, never files. Never throws for file-system errors.
FindFilesResult FindFiles(const std::filesystem::path& folder, std::string_view filter,
                          const ScanProgress& progress = {}, const FileSystemCalls& calls = SystemFileCalls());

} // namespace veltran
