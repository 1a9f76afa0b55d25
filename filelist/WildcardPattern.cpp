#include "WildcardPattern.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <cstdint>

namespace veltran {

namespace {

constexpr char32_t kReplacementCharacter = 0xFFFD;
constexpr std::size_t kNoStar = static_cast<std::size_t>(-1);

} // namespace

WildcardPattern::WildcardPattern(std::string_view pattern)
{
    const std::u32string upper = UpperCodePoints(pattern);
    std::size_t i = 0;
    while (i < upper.size()) {
        const char32_t c = upper[i];
        if (c == U'*') {
            // A run of stars means the same as one; keeping one keeps the backtracking linear.
            if (m_elements.empty() || m_elements.back().kind != Kind::Star)
                m_elements.emplace_back(Kind::Star);
            ++i;
        } else if (c == U'?') {
            m_elements.emplace_back(Kind::AnyOne);
            ++i;
        } else if (c == U'#') {
            m_elements.emplace_back(Kind::Digit);
            ++i;
        } else if (c == U'[') {
            const std::size_t next = ParseSet(upper, i);
            if (next == 0) {
                m_elements.emplace_back(Kind::Literal, c);
                ++i;
            } else {
                i = next;
            }
        } else {
            m_elements.emplace_back(Kind::Literal, c);
            ++i;
        }
    }
}

std::size_t WildcardPattern::ParseSet(const std::u32string& pattern, std::size_t open)
{
    Element element(Kind::Set);
    std::size_t i = open + 1;
    if (i < pattern.size() && pattern[i] == U'!') {
        element.negated = true;
        ++i;
    }
    while (i < pattern.size()) {
        const char32_t c = pattern[i];
        if (c == U']') {
            m_elements.push_back(std::move(element));
            return i + 1;
        }
        const bool isRange = i + 2 < pattern.size() && pattern[i + 1] == U'-' && pattern[i + 2] != U']';
        if (isRange) {
            element.set.push_back({c, pattern[i + 2]});
            i += 3;
        } else {
            element.set.push_back({c, c});
            ++i;
        }
    }
    return 0;
}

bool WildcardPattern::Matches(std::string_view name) const
{
    return MatchesUpper(UpperCodePoints(name));
}

bool WildcardPattern::MatchesUpper(std::u32string_view name) const
{
    // Every element but the star takes exactly one character, so remembering only the latest
    // star is enough: a later star can absorb whatever an earlier one would have, which keeps
    // the worst case at length(name) * length(pattern) instead of exponential.
    const std::size_t count = m_elements.size();
    std::size_t p = 0;
    std::size_t n = 0;
    std::size_t resumePattern = kNoStar;
    std::size_t resumeName = 0;
    while (n < name.size()) {
        if (p < count && m_elements[p].kind == Kind::Star) {
            resumePattern = ++p;
            resumeName = n;
        } else if (p < count && MatchesOne(m_elements[p], name[n])) {
            ++p;
            ++n;
        } else if (resumePattern != kNoStar) {
            p = resumePattern;
            n = ++resumeName;
        } else {
            return false;
        }
    }
    while (p < count && m_elements[p].kind == Kind::Star)
        ++p;
    return p == count;
}

bool WildcardPattern::MatchesOne(const Element& element, char32_t c) const
{
    switch (element.kind) {
    case Kind::Literal:
        return c == element.literal;
    case Kind::AnyOne:
        return true;
    case Kind::Digit:
        return c >= U'0' && c <= U'9';
    case Kind::Set: {
        const bool inSet = std::any_of(element.set.begin(), element.set.end(),
                                       [c](const Range& range) { return c >= range.first && c <= range.last; });
        return inSet != element.negated;
    }
    case Kind::Star:
        break;
    }
    return false;
}

std::u32string WildcardPattern::UpperCodePoints(std::string_view utf8)
{
    std::u32string result;
    result.reserve(utf8.size());
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(utf8.data());
    const auto length = static_cast<std::int32_t>(utf8.size());
    std::int32_t i = 0;
    while (i < length) {
        UChar32 c = 0;
        U8_NEXT(bytes, i, length, c);
        result.push_back(c < 0 ? kReplacementCharacter : static_cast<char32_t>(u_toupper(c)));
    }
    return result;
}

} // namespace veltran
