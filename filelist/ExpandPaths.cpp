#include "ExpandPaths.h"

#include "FindFiles.h"

#include <system_error>

namespace veltran {

PathList ExpandPaths(const std::vector<std::filesystem::path>& paths, std::string_view filter,
                     std::vector<std::filesystem::path>* strays)
{
    PathList entries;
    for (const std::filesystem::path& path : paths) {
        std::error_code ignored;
        if (!std::filesystem::is_directory(path, ignored)) {
            entries.push_back(path);
            continue;
        }
        FindFilesResult found = FindFiles(path, filter);
        entries.Append(found.files);
        // What the scan could not search or examine fails as an entry of its own rather than vanish
        // unnoticed; the run finds out why again, since it may have changed.
        for (const ScanFailure& failure : found.failures)
            entries.push_back(failure.path);
        if (strays)
            strays->insert(strays->end(), found.strays.begin(), found.strays.end());
    }
    return entries;
}

} // namespace veltran
