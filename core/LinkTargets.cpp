#include "LinkTargets.h"

#include "UnitSearch.h"

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <type_traits>

namespace veltran {
namespace {

bool IsSpace(char16_t unit)
{
    return unit == u' ' || unit == u'\t' || unit == u'\n' || unit == u'\r' || unit == u'\f';
}

bool IsLetter(char16_t unit)
{
    return (unit >= u'a' && unit <= u'z') || (unit >= u'A' && unit <= u'Z');
}

char16_t LowerAscii(char16_t unit)
{
    return unit >= u'A' && unit <= u'Z' ? unit + (u'a' - u'A') : unit;
}

bool IsSchemeUnit(char16_t unit)
{
    return IsLetter(unit) || (unit >= u'0' && unit <= u'9') || unit == u'+' || unit == u'-' || unit == u'.';
}

// The attributes whose quoted values are link targets, as the characters before the quote.
constexpr std::string_view kHref = "href=";
constexpr std::string_view kSrc = "src=";
// Only this many of the characters before a quote decide anything.
constexpr std::size_t kDeciding = std::max(kHref.size(), kSrc.size());

// Whether the newest characters packed in `recent`, one a byte, spell `text`.
constexpr bool EndsWith(std::uint64_t recent, std::string_view text)
{
    for (auto c = text.rbegin(); c != text.rend(); ++c, recent >>= 8) {
        if ((recent & 0xFF) != static_cast<unsigned char>(*c))
            return false;
    }
    return true;
}

} // namespace

bool LinkTargets::EndsWithLinkAttribute() const
{
    return EndsWith(m_recent, kHref) || EndsWith(m_recent, kSrc);
}

bool LinkTargets::Take(char16_t unit)
{
    // A character that does not go on with a scheme is ordinary text again, and is taken as such.
    switch (m_state) {
    case State::Target:
        if (unit == m_quote || unit == u'<' || unit == u'>' || unit == u'\n' || unit == u'\r') {
            m_state = State::Outside;
            if (unit == m_quote) {
                m_recent = m_recent << 8 | unit;
                return false;
            }
            break;
        }
        return true;
    case State::SchemeStart:
    case State::Scheme:
        if (IsLetter(unit) || (m_state == State::Scheme && IsSchemeUnit(unit))) {
            m_state = State::Scheme;
            return false;
        }
        if (unit == u':' && m_state == State::Scheme) {
            m_state = State::SchemeColon;
            return false;
        }
        break;
    case State::SchemeColon:
        if (unit == u'/') {
            m_state = State::SchemeSlash;
            return false;
        }
        break;
    case State::SchemeSlash:
        if (unit == u'/') {
            m_state = State::Target;
            return false;
        }
        break;
    case State::Outside:
        break;
    }
    if (m_state != State::Outside && unit == m_quote) {
        // The value closed before it could be an address.
        m_state = State::Outside;
        m_recent = m_recent << 8 | unit;
        return false;
    }
    m_state = State::Outside;
    if (unit == u'"' || unit == u'\'') {
        m_state = EndsWithLinkAttribute() ? State::Target : State::SchemeStart;
        m_quote = unit;
        m_recent = m_recent << 8 | unit;
    } else if (unit >= 0x80) {
        m_recent = 0;
    } else if (!IsSpace(unit)) {
        m_recent = m_recent << 8 | LowerAscii(unit);
    }
    return false;
}

namespace {

// The first quote at or after `from`, or the size: the ordinary runs of a page are long and quotes
// far between.
template <typename Unit> std::size_t NextQuote(std::basic_string_view<Unit> text, std::size_t from)
{
    const Unit* const end = text.data() + text.size();
    return static_cast<std::size_t>(FindEither(text.data() + from, end, Unit{'"'}, Unit{'\''}) - text.data());
}

// Where the last "<" or ">" is, or the size when there is none.
template <typename Unit> std::size_t LastTagBracket(std::basic_string_view<Unit> text)
{
    const Unit* const end = text.data() + text.size();
    return static_cast<std::size_t>(FindLastEither(text.data(), end, Unit{'<'}, Unit{'>'}) - text.data());
}

} // namespace

template <typename Unit> std::size_t LinkTargets::SkipOrdinary(std::basic_string_view<Unit> text, std::size_t from)
{
    const std::size_t quote = NextQuote(text, from);
    // Only the last kDeciding characters that count are needed: before them the units need no look,
    // and a character beyond ASCII clears what came before it anyway.
    std::size_t start = quote;
    for (std::size_t counted = 0; start > from && counted < kDeciding;) {
        const auto unit = static_cast<char16_t>(static_cast<std::make_unsigned_t<Unit>>(text[start - 1]));
        if (unit >= 0x80)
            break;
        --start;
        counted += IsSpace(unit) ? 0 : 1;
    }
    if (start > from)
        m_recent = 0;
    // What Take does with ordinary ASCII other than a quote.
    for (std::size_t i = start; i < quote; ++i) {
        const auto unit = static_cast<char16_t>(static_cast<std::make_unsigned_t<Unit>>(text[i]));
        if (!IsSpace(unit))
            m_recent = m_recent << 8 | LowerAscii(unit);
    }
    return quote;
}

template <typename Unit>
std::size_t LinkTargets::SkipUnchanging(std::basic_string_view<Unit> text, std::size_t from) const
{
    const auto unitAt = [&text](std::size_t at) {
        return static_cast<char16_t>(static_cast<std::make_unsigned_t<Unit>>(text[at]));
    };
    std::size_t at = from;
    if (m_state == State::Target) {
        for (; at < text.size(); ++at) {
            const char16_t unit = unitAt(at);
            if (unit == m_quote || unit == u'<' || unit == u'>' || unit == u'\n' || unit == u'\r')
                break;
        }
    } else if (m_state == State::Scheme) {
        while (at < text.size() && IsSchemeUnit(unitAt(at)))
            ++at;
    }
    return at;
}

template <typename Unit> void LinkTargets::PassUnits(std::basic_string_view<Unit> text)
{
    // After a tag's bracket the state is ordinary text, whatever came before: only the text from the
    // last bracket on needs a look, which in a page is a few units.
    if (const std::size_t bracket = LastTagBracket(text); bracket != text.size()) {
        m_state = State::Outside;
        m_recent = static_cast<std::uint64_t>(text[bracket]);
        text.remove_prefix(bracket + 1);
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        // Ordinary text, nearly all of a page, is looked at only where it ends; so is a link target
        // or a scheme, whose units change nothing until one ends it.
        if (m_state == State::Outside)
            i = SkipOrdinary(text, i);
        else
            i = SkipUnchanging(text, i);
        if (i == text.size())
            break;
        Take(static_cast<char16_t>(static_cast<std::make_unsigned_t<Unit>>(text[i])));
    }
}

void LinkTargets::Pass(std::string_view ascii)
{
    PassUnits(ascii);
}

void LinkTargets::Pass(std::u16string_view text)
{
    PassUnits(text);
}

void LinkTargets::Map(const ChineseMapper& chain, std::u16string_view text, std::u16string& out)
{
    std::size_t start = 0;
    bool inTarget = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (m_state == State::Outside) {
            const std::size_t quote = SkipOrdinary(text, i);
            if (quote > i && inTarget) {
                out += text.substr(start, i - start);
                start = i;
                inTarget = false;
            }
            if ((i = quote) == text.size())
                break;
        }
        const bool target = Take(text[i]) && (m_keeps == nullptr || m_keeps->Holds(text[i]));
        if (target == inTarget)
            continue;
        const std::u16string_view run = text.substr(start, i - start);
        if (inTarget)
            out += run;
        else
            chain.Append(run, out);
        start = i;
        inTarget = target;
    }
    const std::u16string_view run = text.substr(start);
    if (inTarget)
        out += run;
    else
        chain.Append(run, out);
}

std::u16string LinkTargets::MapOutside(const ChineseMapper& chain, std::u16string_view text, const CodePage* keeps)
{
    std::u16string out;
    LinkTargets(keeps).Map(chain, text, out);
    return out;
}

} // namespace veltran
