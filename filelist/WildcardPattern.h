#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace veltran {

/// One file-name pattern, compiled once and matched against many names. Matching ignores letter
/// case (both sides are upper-cased code point by code point) and covers the whole name:
///   *      any run of characters, also none
///   ?      exactly one character
///   #      exactly one digit 0-9
///   [set]  one character in the set; "a-z" inside is a range compared by code point
///   [!set] one character not in the set
/// Inside brackets, *, ? and # stand for themselves, a "-" first or last is a literal hyphen,
/// "!" other than first is literal, and the first "]" closes the set. "[]" matches no character
/// (so a pattern holding it matches nothing) and "[!]" matches any one character; a range whose
/// ends are reversed ("[z-a]") holds nothing. A "[" with no closing "]" stands for itself.
/// Everything else, "." included, stands for itself. Invalid UTF-8 counts as U+FFFD.
class WildcardPattern
{
public:
    explicit WildcardPattern(std::string_view pattern);

    /// True when the whole UTF-8 `name` matches. An empty pattern matches only the empty name.
    bool Matches(std::string_view name) const;

    /// True when `upperName`, already passed through UpperCodePoints, matches. Lets one name be
    /// decoded once and tried against several patterns.
    bool MatchesUpper(std::u32string_view upperName) const;

    /// Decodes UTF-8 into upper-case code points (simple per-code-point mapping); each ill-formed
    /// sequence becomes one U+FFFD. Never fails.
    static std::u32string UpperCodePoints(std::string_view utf8);

private:
    enum class Kind
    {
        Literal,
        AnyOne,
        Digit,
        Set,
        Star
    };

    struct Range
    {
        char32_t first;
        char32_t last;
    };

    struct Element
    {
        explicit Element(Kind elementKind, char32_t character = 0) : kind(elementKind), literal(character) {}

        Kind kind;
        char32_t literal = 0;
        bool negated = false;
        std::vector<Range> set;
    };

    // Parses the bracket set starting at `open` (the "["); returns the index past its "]",
    // or 0 when the set is not closed.
    std::size_t ParseSet(const std::u32string& pattern, std::size_t open);
    bool MatchesOne(const Element& element, char32_t c) const;

    std::vector<Element> m_elements;
};

} // namespace veltran
