#pragma once

#include "ChineseMapper.h"
#include "CodePage.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace veltran {

/// Follows text, given piece by piece in order, to find where link targets stand in it, so that the
/// Chinese mapping leaves them as written: they name files and addresses that a changed character
/// would break (a link to "新闻.htm", or to a wiki page whose title is Traditional on a Simplified
/// page). A link target is the quoted value of an href or src attribute, or any quoted text that
/// starts with a scheme and "://" (an address in markup, a script or a style sheet). It ends at its
/// closing quote, or at "<", ">" or a line break where that is missing. Quotes, brackets and line
/// breaks are ASCII, which no mapping changes, so the same targets are found in a text before and
/// after its mapping. A character of a link target that the target encoding lacks is mapped with the
/// text all the same, since written as "?" it would break the link for certain.
class LinkTargets
{
public:
    /// Link targets keep what `keeps` holds, or, without it, every character (for UTF-8, or where
    /// the characters a target lacks are written as references, which links may hold).
    explicit LinkTargets(const CodePage* keeps = nullptr) : m_keeps(keeps) {}

    /// Follows text that is not mapped here (ASCII copied as it is, or text mapped elsewhere).
    void Pass(std::string_view ascii);
    void Pass(std::u16string_view text);

    /// Appends the text to `out`: link targets as they are, the rest mapped through `chain`. Cutting
    /// the text into pieces anywhere gives the same as mapping it whole, provided the chain's own
    /// mapping is unchanged by that cut.
    void Map(const ChineseMapper& chain, std::u16string_view text, std::u16string& out);

    /// Trackers in the same state find the same targets in the same text.
    bool operator==(const LinkTargets&) const = default;

    /// The whole text mapped as Map does, from ordinary text on.
    static std::u16string MapOutside(const ChineseMapper& chain, std::u16string_view text, const CodePage* keeps);

private:
    enum class State : std::uint8_t
    {
        Outside,     // in ordinary text
        SchemeStart, // just after an opening quote
        Scheme,      // after the letters of what may be a scheme
        SchemeColon, // after its ":"
        SchemeSlash, // after the first "/"
        Target,      // in a link target
    };

    /// Takes one unit; true when it belongs to a link target.
    bool Take(char16_t unit);
    /// In ordinary text: takes the units from `from` up to the next quote, none of which belongs to a
    /// link target, as Take would, and returns where that quote is (or the end).
    template <typename Unit> std::size_t SkipOrdinary(std::basic_string_view<Unit> text, std::size_t from);
    /// In a link target or a scheme: skips the units from `from` on that Take would take without
    /// changing the state, and returns where the first other one is (or the end).
    template <typename Unit> std::size_t SkipUnchanging(std::basic_string_view<Unit> text, std::size_t from) const;
    template <typename Unit> void PassUnits(std::basic_string_view<Unit> text);
    bool EndsWithLinkAttribute() const;

    const CodePage* m_keeps;
    State m_state = State::Outside;
    char16_t m_quote = 0;
    // The last few ASCII characters of ordinary text that are not white space, lowercased, the newest
    // in the low byte; cleared by any other character.
    std::uint64_t m_recent = 0;
};

} // namespace veltran
