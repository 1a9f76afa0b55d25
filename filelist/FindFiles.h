#pragma once

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

struct FindFilesResult
{
    std::vector<std::filesystem::path> files;             // breadth first, in name order within a folder
    std::vector<std::filesystem::path> unreadableFolders; // skipped, the scan went on
    bool stopped = false;                                 // the progress callback ended the scan early
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
/// of the names. A folder that cannot be listed is put in unreadableFolders and the scan goes on;
/// when that is `folder` itself (also when it has vanished) the file list is empty. Never throws for
/// file-system errors.
FindFilesResult FindFiles(const std::filesystem::path& folder, std::string_view filter,
                          const ScanProgress& progress = {});

} // namespace veltran
