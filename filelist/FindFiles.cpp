#include "FindFiles.h"

#include "NameOrder.h"
#include "TextSplit.h"
#include "WildcardPattern.h"

#include <algorithm>
#include <system_error>

namespace veltran {

namespace fs = std::filesystem;

namespace {

constexpr char kFilterSeparator = '|';

std::vector<WildcardPattern> SplitFilter(std::string_view filter)
{
    std::vector<WildcardPattern> patterns;
    for (const std::string_view piece : SplitAt(filter, kFilterSeparator))
        patterns.emplace_back(piece);
    return patterns;
}

bool MatchesAny(const std::vector<WildcardPattern>& patterns, const std::string& name)
{
    const std::u32string upper = WildcardPattern::UpperCodePoints(name);
    return std::any_of(patterns.begin(), patterns.end(),
                       [&upper](const WildcardPattern& pattern) { return pattern.MatchesUpper(upper); });
}

enum class EntryKind
{
    Folder,
    File,
    Other
};

// Only real folders are descended, so a link can never lead the scan in a circle, and only real
// files are listed: a link to a file would reach a file listed already, or one outside the folders
// given. Special files (pipes, sockets, devices) are left out because reading them as text would
// block or make no sense.
EntryKind Classify(const fs::directory_entry& entry)
{
    std::error_code error;
    const fs::file_status own = entry.symlink_status(error);
    if (error)
        return EntryKind::Other;
    if (fs::is_directory(own))
        return EntryKind::Folder;
    if (fs::is_regular_file(own))
        return EntryKind::File;
    return EntryKind::Other;
}

// Lists one folder to the end before returning, so only one listing is ever open, and adds its files
// and sub-folders in name order, as a file manager shows them, not in the order of the file system's
// listing, which follows its hashing. Returns false when the folder could not be listed completely;
// what was read before the failure is kept.
bool ScanFolder(const fs::path& folder, const std::vector<WildcardPattern>& patterns, std::vector<fs::path>& queue,
                std::vector<fs::path>& files)
{
    const std::ptrdiff_t queued = static_cast<std::ptrdiff_t>(queue.size());
    const std::ptrdiff_t found = static_cast<std::ptrdiff_t>(files.size());
    std::error_code error;
    fs::directory_iterator it(folder, error);
    for (; !error && it != fs::directory_iterator(); it.increment(error)) {
        switch (Classify(*it)) {
        case EntryKind::Folder:
            queue.push_back(it->path());
            break;
        case EntryKind::File:
            if (MatchesAny(patterns, it->path().filename().native()))
                files.push_back(it->path());
            break;
        case EntryKind::Other:
            break;
        }
    }
    SortByName(queue.begin() + queued, queue.end());
    SortByName(files.begin() + found, files.end());
    return !error;
}

} // namespace

std::string NormalizeFilter(std::string_view typed)
{
    std::string normalized(typed);
    std::replace_if(
        normalized.begin(), normalized.end(), [](char c) { return c == ';' || c == ','; }, kFilterSeparator);
    return normalized;
}

bool MatchesPattern(std::string_view name, std::string_view pattern)
{
    return WildcardPattern(pattern).Matches(name);
}

FindFilesResult FindFiles(const fs::path& folder, std::string_view filter, const ScanProgress& progress)
{
    const std::vector<WildcardPattern> patterns = SplitFilter(filter);
    FindFilesResult result;
    // The queue grows while it is walked; indexing (not iterators) stays valid across growth.
    std::vector<fs::path> queue{folder};
    for (std::size_t k = 0; k < queue.size(); ++k) {
        // A copy, because scanning appends to the queue and may move its entries.
        const fs::path current = queue[k];
        if (!ScanFolder(current, patterns, queue, result.files))
            result.unreadableFolders.push_back(current);
        if (progress && !progress(result.files.size(), current)) {
            result.stopped = k + 1 < queue.size();
            break;
        }
    }
    return result;
}

} // namespace veltran
