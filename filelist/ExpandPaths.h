#pragma once

#include "PathList.h"

#include <filesystem>
#include <string_view>
#include <vector>

namespace veltran {

/// The entries of a run for paths given together, in their order: a path that is not a folder stands
/// for itself (a missing one too, so that its conversion fails and is logged; a link to a file, which
/// the conversion follows, since it was named), a folder for the files
/// FindFiles finds in it with `filter`, followed by what below it could not be searched or examined
/// (folders, and names the filter asks for). `strays`, when given, is told the files staged by killed
/// runs that the scans met.
PathList ExpandPaths(const std::vector<std::filesystem::path>& paths, std::string_view filter,
                     std::vector<std::filesystem::path>* strays = nullptr);

} // namespace veltran
