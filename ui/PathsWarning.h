#pragma once

#include "MessageBoxService.h"

#include <filesystem>
#include <string>
#include <vector>

namespace veltran {

/// A warning box that names paths: `heading`, then the first five paths one to a line (decoded as the
/// desktop decodes names), each followed by "：" and its entry of `reasons` where there is one, and
/// "..." when there are more.
MessageRequest PathsWarning(const std::string& heading, const std::vector<std::filesystem::path>& paths,
                            const std::string& caption, const std::vector<std::string>& reasons = {});

} // namespace veltran
