#include "ExpandPaths.h"

#include "FindFiles.h"

#include <system_error>

namespace veltran {

std::vector<std::filesystem::path> ExpandPaths(const std::vector<std::filesystem::path>& paths, std::string_view filter)
{
    std::vector<std::filesystem::path> entries;
    for (const std::filesystem::path& path : paths) {
        std::error_code ignored;
        if (!std::filesystem::is_directory(path, ignored)) {
            entries.push_back(path);
            continue;
        }
        FindFilesResult found = FindFiles(path, filter);
        entries.insert(entries.end(), found.files.begin(), found.files.end());
        // A folder the scan could not read fails as an entry of its own rather than vanish unnoticed.
        entries.insert(entries.end(), found.unreadableFolders.begin(), found.unreadableFolders.end());
    }
    return entries;
}

} // namespace veltran
