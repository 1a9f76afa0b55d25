#pragma once

#include <filesystem>
#include <string_view>
#include <vector>

namespace veltran {

/// Compares two names, already passed through WildcardPattern::UpperCodePoints, as a file manager
/// orders them: runs of the digits 0-9 compare as numbers ("page2" before "page10", "a01" equal to
/// "a1"), everything else by code point, so letter case is ignored. Returns <0, 0 or >0.
int CompareNamesNaturally(std::u32string_view upperLeft, std::u32string_view upperRight);

/// Sorts paths by their file names in that order; names it finds equal ("A.htm" and "a.htm",
/// "p01" and "p1") keep an order fixed by their raw bytes, so a listing sorts the same every time.
/// Names that are not UTF-8 are compared with their bad bytes as U+FFFD.
void SortByName(std::vector<std::filesystem::path>::iterator first, std::vector<std::filesystem::path>::iterator last);

} // namespace veltran
