#pragma once

namespace veltran {

/// Whom a sentence is for: the terminal and the report read English, the window and the run log
/// Simplified Chinese.
enum class Language
{
    English,
    Chinese,
};

} // namespace veltran
