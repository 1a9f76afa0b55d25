#pragma once

#include "EncodingId.h"
#include "MainWindowControls.h"

#include <optional>

namespace veltran {

/// The encoding chosen in "原文件编码", none when no option is selected.
std::optional<EncodingId> ChosenSource(const MainWindowControls& controls);
/// The encoding chosen in "转换后编码", none when no option is selected.
std::optional<EncodingId> ChosenTarget(const MainWindowControls& controls);

} // namespace veltran
