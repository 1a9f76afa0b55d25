#include "FindFiles.h"

#include "BackupNames.h"
#include "FileReader.h"
#include "NameOrder.h"
#include "StagedFile.h"
#include "TextSplit.h"
#include "WildcardPattern.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <map>
#include <optional>
#include <sys/stat.h>

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

// A start that is a file is no folder to search, rather than a missing one.
Status FolderFailure(int error)
{
    return error == ENOTDIR ? Status::Failure(StatusCode::NotAFolder) : OpenFailure(error);
}

// What one folder gave the scan, before it is put in name order.
struct FolderFindings
{
    std::vector<fs::path> folders;
    std::vector<fs::path> files;
    std::vector<ScanFailure> failures;
    std::vector<fs::path> strays;
};

// The kind of file (S_IFDIR, S_IFREG...) a listed name is: the listing's word where it gives one,
// which spares a call per name, lstat where the file system does not say. Returns 0 or the errno value.
int KindOf(const fs::path& path, const FolderEntry& entry, const FileSystemCalls& calls, mode_t& kind)
{
    switch (entry.type) {
    case DT_DIR:
        kind = S_IFDIR;
        return 0;
    case DT_REG:
        kind = S_IFREG;
        return 0;
    case DT_UNKNOWN:
        break;
    default: // links, pipes, sockets, devices
        kind = 0;
        return 0;
    }
    struct stat info = {};
    const int error = calls.LinkStat(path, info);
    kind = info.st_mode & S_IFMT;
    return error;
}

// Only real folders are descended, so a link can never lead the scan in a circle, and only real
// files are listed: a link to a file would reach a file listed already, or one outside the folders
// given. Special files (pipes, sockets, devices) are left out because reading them as text would
// block or make no sense. A name whose kind cannot be found out is told when the filter asks for it.
// A folder that cannot be searched lets its names be listed but not opened: its files fail in the
// run, and its sub-folders fail here when they are listed.
void Examine(const fs::path& folder, const FolderEntry& entry, const std::vector<WildcardPattern>& patterns,
             const std::map<std::string, unsigned char>& names, const FileSystemCalls& calls, FolderFindings& found)
{
    const fs::path path = folder / entry.name;
    mode_t kind = 0;
    if (const int error = KindOf(path, entry, calls, kind); error != 0) {
        // A name gone since the listing was taken is no longer there to convert.
        if (error != ENOENT && MatchesAny(patterns, entry.name))
            found.failures.push_back({path, OpenFailure(error)});
        return;
    }
    if (kind == S_IFDIR) {
        found.folders.push_back(path);
        return;
    }
    if (kind != S_IFREG)
        return;
    if (IsStagedName(entry.name)) {
        found.strays.push_back(path);
        return;
    }
    // A page whose backup is all that is left (a run killed mid-way by an older version, or a page
    // moved away) is listed in the backup's stead, once, for the run to put back.
    if (const std::optional<std::string> page = PageOfBackupName(entry.name);
        page && names.count(*page) == 0 && MatchesAny(patterns, *page)) {
        const fs::path pagePath = folder / *page;
        if (std::find(found.files.begin(), found.files.end(), pagePath) == found.files.end())
            found.files.push_back(pagePath);
        return;
    }
    if (MatchesAny(patterns, entry.name))
        found.files.push_back(path);
}

// Scans one folder and adds what it holds to the results, in name order, as a file manager shows
// them, not in the order of the file system's listing, which follows its hashing. The folder is listed
// whole before anything in it is looked at, so only one listing is ever open; what was listed before
// a failed listing is kept.
void ScanFolder(const fs::path& folder, const std::vector<WildcardPattern>& patterns, const FileSystemCalls& calls,
                std::vector<fs::path>& queue, FindFilesResult& result)
{
    std::vector<FolderEntry> entries;
    const int listError = calls.ListFolder(folder, entries);
    std::map<std::string, unsigned char> types;
    std::vector<fs::path> names;
    for (const FolderEntry& entry : entries) {
        types.emplace(entry.name, entry.type);
        names.emplace_back(entry.name);
    }
    SortByName(names.begin(), names.end());
    FolderFindings found;
    for (const fs::path& name : names)
        Examine(folder, {name.native(), types[name.native()]}, patterns, types, calls, found);
    // A page listed for its lone backup took the backup's place, which need not be its own.
    SortByName(found.files.begin(), found.files.end());
    queue.insert(queue.end(), found.folders.begin(), found.folders.end());
    for (const fs::path& file : found.files)
        result.files.push_back(file);
    result.strays.insert(result.strays.end(), found.strays.begin(), found.strays.end());
    if (listError != 0)
        result.failures.push_back({folder, FolderFailure(listError)});
    result.failures.insert(result.failures.end(), found.failures.begin(), found.failures.end());
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

FindFilesResult FindFiles(const fs::path& folder, std::string_view filter, const ScanProgress& progress,
                          const FileSystemCalls& calls)
{
    const std::vector<WildcardPattern> patterns = SplitFilter(filter);
    FindFilesResult result;
    // The queue grows while it is walked; indexing (not iterators) stays valid across growth.
    std::vector<fs::path> queue{folder};
    for (std::size_t k = 0; k < queue.size(); ++k) {
        // A copy, because scanning appends to the queue and may move its entries.
        const fs::path current = queue[k];
        ScanFolder(current, patterns, calls, queue, result);
        if (progress && !progress(result.files.size(), current)) {
            result.stopped = k + 1 < queue.size();
            break;
        }
    }
    return result;
}

} // namespace veltran
