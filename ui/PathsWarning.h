#pragma once

#include "MessageBoxService.h"

#include <filesystem>
#include <string>
#include <vector>

namespace veltran {

/// A warning box that names paths left out of the list: `heading`, then the first five paths one to a
/// line (decoded as the desktop decodes names), and "..." when there are more.
MessageRequest PathsWarning(const std::string& heading, const std::vector<std::filesystem::path>& paths,
                            const std::string& caption);

} // namespace veltran
