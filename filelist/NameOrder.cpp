#include "NameOrder.h"

#include "WildcardPattern.h"

#include <algorithm>
#include <string>
#include <utility>

namespace veltran {

namespace {

bool IsDigit(char32_t c)
{
    return c >= U'0' && c <= U'9';
}

// The run of digits starting at `at`, without its leading zeros; `at` moves past the run.
std::u32string_view DigitRun(std::u32string_view text, std::size_t& at)
{
    while (at < text.size() && text[at] == U'0' && at + 1 < text.size() && IsDigit(text[at + 1]))
        ++at;
    const std::size_t start = at;
    while (at < text.size() && IsDigit(text[at]))
        ++at;
    return text.substr(start, at - start);
}

} // namespace

int CompareNamesNaturally(std::u32string_view left, std::u32string_view right)
{
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < left.size() && j < right.size()) {
        if (IsDigit(left[i]) && IsDigit(right[j])) {
            const std::u32string_view a = DigitRun(left, i);
            const std::u32string_view b = DigitRun(right, j);
            // Without leading zeros the longer run is the larger number; runs of one length compare digit by digit.
            if (a.size() != b.size())
                return a.size() < b.size() ? -1 : 1;
            if (const int order = a.compare(b); order != 0)
                return order;
            continue;
        }
        if (left[i] != right[j])
            return left[i] < right[j] ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < left.size())
        return 1;
    return j < right.size() ? -1 : 0;
}

void SortByName(std::vector<std::filesystem::path>::iterator first, std::vector<std::filesystem::path>::iterator last)
{
    // Each name is decoded once, not once per comparison.
    std::vector<std::pair<std::u32string, std::filesystem::path>> keyed;
    keyed.reserve(static_cast<std::size_t>(last - first));
    for (auto it = first; it != last; ++it)
        keyed.emplace_back(WildcardPattern::UpperCodePoints(it->filename().native()), std::move(*it));
    std::sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
        const int order = CompareNamesNaturally(a.first, b.first);
        return order != 0 ? order < 0 : a.second.filename().native() < b.second.filename().native();
    });
    for (auto& entry : keyed)
        *first++ = std::move(entry.second);
}

} // namespace veltran
