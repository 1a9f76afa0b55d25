#pragma once

#include <string>
#include <string_view>

namespace veltran {

/// Maps Simplified Chinese characters and phrases to their Taiwan-standard Traditional forms
/// (OpenCC's s2tw chain). Everything the dictionaries do not map is returned unchanged,
/// including NUL, unpaired surrogates and characters outside the Basic Multilingual Plane.
/// The dictionaries are loaded once per process, on first use; throws std::runtime_error
/// when they cannot be loaded.
std::u16string ToTraditional(std::u16string_view text);

/// Maps Traditional Chinese (Taiwan standard) to Simplified forms (OpenCC's tw2s chain);
/// otherwise as ToTraditional.
std::u16string ToSimplified(std::u16string_view text);

} // namespace veltran
