#pragma once

#include <filesystem>
#include <string_view>
#include <vector>

namespace veltran {

/// The entries of a run for paths given together, in their order: a path that is not a folder stands
/// for itself (a missing one too, so that its conversion fails and is logged), a folder for the files
/// FindFiles finds in it with `filter`, followed by the folders below it that could not be read.
std::vector<std::filesystem::path> ExpandPaths(const std::vector<std::filesystem::path>& paths,
                                               std::string_view filter);

} // namespace veltran
