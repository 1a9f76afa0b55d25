#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace veltran {

/// The list's context-menu command that converts the selected entries as the chosen source encoding,
/// whatever they look like: the user's last word over the encoding check. The menu shows it with "...".
inline constexpr char kConvertAsSourceCommand[] = "按原编码转换所选文件";

/// The caption of its confirmation.
inline constexpr char kConvertAsSourceCaption[] = "按原编码转换";

/// The confirmation's text: what converting `count` files as `sourceName` to `targetName` without the
/// check means, and what it costs when a file is not in that encoding after all.
std::string ConvertAsSourceQuestion(std::string_view sourceName, std::string_view targetName, std::size_t count);

/// The line the check shows under a file the encoding check refused: that the command above exists.
std::string ConvertAsSourceHint(std::string_view sourceName);

} // namespace veltran
