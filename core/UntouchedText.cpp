#include "UntouchedText.h"

#include "ChineseMapping.h"
#include "LinkTargets.h"

#include <unicode/ustring.h>
#include <unicode/utf16.h>

#include <algorithm>

namespace veltran {
namespace {

std::size_t CodePoints(std::u16string_view text)
{
    return static_cast<std::size_t>(
        u_countChar32(reinterpret_cast<const UChar*>(text.data()), static_cast<int32_t>(text.size())));
}

// The first `count` code points of the text.
std::u16string_view FirstCodePoints(std::u16string_view text, std::size_t count)
{
    std::size_t units = 0;
    for (; count > 0 && units < text.size(); --count)
        units += U16_IS_LEAD(text[units]) && units + 1 < text.size() && U16_IS_TRAIL(text[units + 1]) ? 2 : 1;
    return text.substr(0, units);
}

std::u16string_view LastCodePoints(std::u16string_view text, std::size_t count)
{
    return text.substr(FirstCodePoints(text, CodePoints(text) - count).size());
}

// Where the text may be cut for the mapping: its ends, and just before a unit no phrase holds.
bool IsCut(std::u16string_view text, std::size_t at)
{
    return at == 0 || at == text.size() || IsMappingBoundary(text[at]);
}

} // namespace

std::u16string TraditionalAfterRules(std::u16string_view original, std::u16string_view simplified,
                                     std::u16string_view ruled, const ChineseMapper& toTraditional,
                                     const CodePage* keeps, MappedCharacters* mapped)
{
    if (ruled == simplified)
        return std::u16string(original);
    if (CodePoints(original) != CodePoints(simplified)) {
        std::u16string out = LinkTargets::MapOutside(toTraditional, ruled, keeps);
        if (mapped)
            mapped->Compare(ruled, out);
        return out;
    }

    const std::size_t shorter = std::min(simplified.size(), ruled.size());
    std::size_t same =
        std::mismatch(simplified.begin(), simplified.begin() + shorter, ruled.begin()).first - simplified.begin();
    std::size_t sameAtEnd =
        std::mismatch(simplified.rbegin(), simplified.rbegin() + (shorter - same), ruled.rbegin()).first -
        simplified.rbegin();
    // Neither stretch may end inside a surrogate pair.
    if (same > 0 && U16_IS_LEAD(ruled[same - 1]))
        --same;
    if (sameAtEnd > 0 && U16_IS_TRAIL(ruled[ruled.size() - sameAtEnd]))
        --sameAtEnd;

    std::size_t start = same;
    while (!IsCut(ruled, start))
        --start;
    std::size_t end = ruled.size() - sameAtEnd;
    while (!IsCut(ruled, end))
        ++end;

    // Before `start` and from `end` on, the ruled text is the Simplified one, which has the original's
    // characters in the same places.
    std::u16string out(FirstCodePoints(original, CodePoints(ruled.substr(0, start))));
    LinkTargets links(keeps);
    links.Pass(ruled.substr(0, start));
    const std::size_t middle = out.size();
    links.Map(toTraditional, ruled.substr(start, end - start), out);
    if (mapped)
        mapped->Compare(ruled.substr(start, end - start), std::u16string_view(out).substr(middle));
    out += LastCodePoints(original, CodePoints(ruled.substr(end)));
    return out;
}

} // namespace veltran
