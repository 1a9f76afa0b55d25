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

/// As ToTraditional, appending the result to `out`, whose room is reused; `out` must not hold the
/// text.
void AppendTraditional(std::u16string_view text, std::u16string& out);

/// As ToSimplified, appending the result to `out`, whose room is reused; `out` must not hold the
/// text.
void AppendSimplified(std::u16string_view text, std::u16string& out);

/// True when no phrase or character of either direction's dictionaries holds the unit, so that it
/// maps to itself and no phrase reaches across it: text cut just before it maps, in either direction
/// and through both one after the other, to the same as its pieces mapped one by one. ASCII
/// characters are such units.
bool IsMappingBoundary(char16_t unit);

} // namespace veltran
