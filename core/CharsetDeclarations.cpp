#include "CharsetDeclarations.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace veltran {

namespace {

struct Edit
{
    std::size_t begin;
    std::size_t end;
    std::u16string label;
};

// A label with ASCII letters in lower case and every other unit as 0x80, one byte per unit.
std::string FoldedAscii(std::u16string_view text)
{
    std::string folded(text.size(), '\x80');
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (unit < 0x80)
            folded[i] = static_cast<char>(unit >= u'A' && unit <= u'Z' ? unit + (u'a' - u'A') : unit);
    }
    return folded;
}

bool IsLabelCharacter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.' || c == ':';
}

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// How many bytes the character that starts with `lead` (not ASCII) takes in valid text.
std::size_t CharacterLength(EncodingId encoding, std::uint8_t lead)
{
    if (encoding != EncodingId::Utf8)
        return lead >= 0x81 && lead <= 0xFE ? 2 : 1; // 0x80 and 0xFF stand alone in code pages 936 and 950
    if (lead >= 0xF0)
        return 4;
    if (lead >= 0xE0)
        return 3;
    return lead >= 0xC0 ? 2 : 1;
}

char Folded(unsigned unit)
{
    if (unit >= 0x80)
        return '\x80';
    return static_cast<char>(unit >= 'A' && unit <= 'Z' ? unit + ('a' - 'A') : unit);
}

// Every keyword is found from one of four marks: "<" (tags and directives), "@" (@charset), "."
// (Response.Charset and the code pages) and "(" (PHP's header()).
bool IsMark(unsigned unit)
{
    return unit == '<' || unit == '@' || unit == '.' || unit == '(';
}

// The keyword searches over text or bytes, through what the text type gives: its size, each unit
// folded (ASCII letters in lower case, anything not ASCII as 0x80), whether a character starts at a
// place, and the step to the next character.
template <typename Derived> class FoldedSearch
{
public:
    // Whether the keyword (ASCII, in lower case) starts a character at `at`.
    bool At(std::size_t at, std::string_view keyword) const
    {
        const Derived& text = Self();
        if (at > text.size() || text.size() - at < keyword.size())
            return false;
        for (std::size_t k = 0; k < keyword.size(); ++k) {
            if (text[at + k] != keyword[k])
                return false;
        }
        return text.StartsCharacter(at);
    }

    // The first keyword from `from` that ends by `end`, or npos.
    std::size_t Find(std::string_view keyword, std::size_t from, std::size_t end) const
    {
        for (std::size_t at = from; at < end && end - at >= keyword.size(); ++at) {
            if (At(at, keyword))
                return at;
        }
        return std::string_view::npos;
    }

    // Where a tag or directive from `at` (a character's start) ends: at `closing`, but never further
    // than a declaration can reach, counted in UTF-16 units whatever the text is held in, so that
    // text full of unclosed tags is not searched to its end for each one.
    std::size_t EndOf(std::size_t at, std::string_view closing) const
    {
        static constexpr std::size_t kLongestDeclaration = 1024;
        const Derived& text = Self();
        std::size_t units = 0;
        while (at < text.size() && units < kLongestDeclaration) {
            if (units + closing.size() <= kLongestDeclaration && At(at, closing))
                return at;
            const auto [bytes, size] = text.Character(at);
            at += bytes;
            units += size;
        }
        return std::min(at, text.size());
    }

private:
    const Derived& Self() const { return static_cast<const Derived&>(*this); }
};

// Decoded text; every unit starts a character as far as ASCII keywords care.
class FoldedText : public FoldedSearch<FoldedText>
{
public:
    explicit FoldedText(std::u16string_view text) : m_text(text) {}

    std::size_t size() const { return m_text.size(); }
    char operator[](std::size_t i) const { return Folded(m_text[i]); }
    bool StartsCharacter(std::size_t) const { return true; }
    std::pair<std::size_t, std::size_t> Character(std::size_t) const { return {1, 1}; }
    std::u16string Label(std::size_t begin, std::size_t end) const
    {
        return std::u16string(m_text.substr(begin, end - begin));
    }

    // The next mark from `from` on, or the text's size. Eight units at a time where the processor
    // can, since almost every unit of a page is none of them.
    std::size_t NextMark(std::size_t from) const
    {
        std::size_t i = from;
#if defined(__SSE2__)
        const __m128i marks[] = {_mm_set1_epi16('<'), _mm_set1_epi16('@'), _mm_set1_epi16('.'), _mm_set1_epi16('(')};
        for (; i + 8 <= m_text.size(); i += 8) {
            const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(m_text.data() + i));
            const __m128i hits =
                _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi16(units, marks[0]), _mm_cmpeq_epi16(units, marks[1])),
                             _mm_or_si128(_mm_cmpeq_epi16(units, marks[2]), _mm_cmpeq_epi16(units, marks[3])));
            if (const int mask = _mm_movemask_epi8(hits); mask != 0)
                return i + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(mask))) / 2;
        }
#endif
        while (i < m_text.size() && !IsMark(m_text[i]))
            ++i;
        return i;
    }

private:
    std::u16string_view m_text;
};

// The bytes of a page in GB, BIG5 or UTF-8 from `start` (after a byte-order mark), seen as the
// decoded text would be: an ASCII byte is a character only where no double-byte character's trail
// byte takes it.
class FoldedBytes : public FoldedSearch<FoldedBytes>
{
public:
    FoldedBytes(ByteView bytes, std::size_t start, EncodingId encoding)
        : m_bytes(bytes), m_start(start), m_encoding(encoding)
    {
    }

    std::size_t size() const { return m_bytes.size(); }
    char operator[](std::size_t i) const { return Folded(m_bytes[i]); }

    // In UTF-8 no byte of a longer character is ASCII. In code pages 936 and 950 a byte follows a
    // lead byte (0x81 to 0xFE) as its trail; the bytes of that range before `at` pair up from the
    // first of them, which a character starts, so `at` starts one when there is an even number.
    bool StartsCharacter(std::size_t at) const
    {
        if (m_encoding == EncodingId::Utf8)
            return true;
        std::size_t leads = 0;
        while (at > m_start && m_bytes[at - 1] >= 0x81 && m_bytes[at - 1] <= 0xFE) {
            --at;
            ++leads;
        }
        return leads % 2 == 0;
    }

    // The bytes of the character at `at`, and its UTF-16 units.
    std::pair<std::size_t, std::size_t> Character(std::size_t at) const
    {
        if (m_bytes[at] < 0x80)
            return {1, 1};
        const std::size_t length = CharacterLength(m_encoding, m_bytes[at]);
        return {length, length == 4 ? 2 : 1};
    }

    std::u16string Label(std::size_t begin, std::size_t end) const
    {
        return std::u16string(m_bytes.begin() + static_cast<std::ptrdiff_t>(begin),
                              m_bytes.begin() + static_cast<std::ptrdiff_t>(end)); // labels are ASCII
    }

    // The next mark that starts a character and may start a keyword, from `from` on, or the size.
    std::size_t NextMark(std::size_t from) const
    {
        for (std::size_t i = from;; ++i) {
            i = NextCandidate(i);
            if (i >= m_bytes.size() || StartsCharacter(i))
                return i;
        }
    }

private:
    // Whether a keyword may start at the mark at `i`, by the byte on either side: "<m", "<?", "<%",
    // "@c" and ".c" (any letter case), and "(" after "r" or a space (header( and header ().
    bool MayStartKeyword(std::size_t i) const
    {
        const unsigned next = i + 1 < m_bytes.size() ? m_bytes[i + 1] | 0x20u : 0;
        switch (m_bytes[i]) {
        case '<':
            return next == 'm' || next == '?' || next == '%';
        case '@':
        case '.':
            return next == 'c';
        case '(':
            return i > 0 && ((m_bytes[i - 1] | 0x20u) == 'r' || m_bytes[i - 1] <= 0x20);
        default:
            return false;
        }
    }

    // A page holds a mark every twenty bytes or so, mostly "<" of other tags and "." of prose;
    // sixteen bytes at a time, where the processor can, with the bytes around each mark seen too.
    std::size_t NextCandidate(std::size_t i) const
    {
#if defined(__SSE2__)
        if (i == 0 && !m_bytes.empty() && MayStartKeyword(0))
            return 0;
        const auto splat = [](char c) { return _mm_set1_epi8(c); };
        for (i = std::max<std::size_t>(i, 1); i + 17 <= m_bytes.size(); i += 16) {
            const auto load = [&](std::size_t at) {
                return _mm_loadu_si128(reinterpret_cast<const __m128i*>(m_bytes.data() + at));
            };
            const __m128i here = load(i);
            const __m128i next = _mm_or_si128(load(i + 1), splat(0x20));
            const __m128i previous = load(i - 1);
            const auto is = [](__m128i bytes, char c) { return _mm_cmpeq_epi8(bytes, _mm_set1_epi8(c)); };
            const __m128i tag =
                _mm_and_si128(is(here, '<'), _mm_or_si128(_mm_or_si128(is(next, 'm'), is(next, '?')), is(next, '%')));
            const __m128i member = _mm_and_si128(_mm_or_si128(is(here, '@'), is(here, '.')), is(next, 'c'));
            const __m128i afterSpace = _mm_cmpeq_epi8(_mm_min_epu8(previous, splat(0x20)), previous);
            const __m128i call =
                _mm_and_si128(is(here, '('), _mm_or_si128(is(_mm_or_si128(previous, splat(0x20)), 'r'), afterSpace));
            const __m128i hits = _mm_or_si128(_mm_or_si128(tag, member), call);
            if (const int mask = _mm_movemask_epi8(hits); mask != 0)
                return i + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
        }
#endif
        while (i < m_bytes.size() && !MayStartKeyword(i))
            ++i;
        return i;
    }

    ByteView m_bytes;
    std::size_t m_start;
    EncodingId m_encoding;
};

// Finds the declarations in text or bytes (FoldedText or FoldedBytes), in the places of either.
template <typename Text> class Rewriter
{
public:
    Rewriter(const Text& text, EncodingId source, EncodingId target)
        : m_folded(text), m_source(source), m_target(target)
    {
    }

    /// The declarations found, and the edits that make those of the source's family name the
    /// target, from the last to the first.
    DeclarationCount Run(std::vector<Edit>& edits)
    {
        for (std::size_t at = m_folded.NextMark(0); at < m_folded.size(); at = m_folded.NextMark(at + 1)) {
            switch (m_folded[at]) {
            case '<':
                if (m_folded.At(at, "<meta"))
                    KeysUntil(at, ">", {"charset"});
                else if (m_folded.At(at, "<?xml"))
                    KeysUntil(at, "?>", {"encoding"});
                else if (m_folded.At(at, "<%@"))
                    KeysUntil(at, "%>", {"codepage", "pageencoding", "charset"});
                break;
            case '@':
                if (m_folded.At(at, "@charset"))
                    LabelAfter(at + 8);
                break;
            case '.':
                if (m_folded.At(at, ".charset") && Before(at, "response"))
                    Assignment(at + 8);
                else if (m_folded.At(at, ".codepage") && (Before(at, "response") || Before(at, "session")))
                    Assignment(at + 9);
                break;
            default: // '('
                if (const std::size_t name = SkipSpacesBack(at); Before(name, "header"))
                    PhpHeader(name);
                break;
            }
        }

        std::sort(m_edits.begin(), m_edits.end(), [](const Edit& a, const Edit& b) { return a.begin > b.begin; });
        edits = std::move(m_edits);
        return {m_labels.size(), edits.size()};
    }

private:
    // Whether the keyword ends just before `at`.
    bool Before(std::size_t at, std::string_view keyword) const
    {
        return at >= keyword.size() && m_folded.At(at - keyword.size(), keyword);
    }

    std::size_t SkipSpacesBack(std::size_t i) const
    {
        while (i > 0 && IsSpace(m_folded[i - 1]))
            --i;
        return i;
    }

    std::size_t SkipSpaces(std::size_t i) const
    {
        while (i < m_folded.size() && IsSpace(m_folded[i]))
            ++i;
        return i;
    }

    // In a tag or directive from `at` to `closing`, the value after each keyword and "=".
    void KeysUntil(std::size_t at, std::string_view closing, std::initializer_list<std::string_view> keys)
    {
        const std::size_t end = m_folded.EndOf(at, closing);
        for (const std::string_view key : keys)
            LabelsAfterKey(key, at, end);
    }

    // The value after each `key` and "=" from `at` to `end`.
    void LabelsAfterKey(std::string_view key, std::size_t at, std::size_t end)
    {
        for (std::size_t k = m_folded.Find(key, at, end); k != std::string_view::npos;
             k = m_folded.Find(key, k + 1, end)) {
            const std::size_t eq = SkipSpaces(k + key.size());
            if (eq < end && m_folded[eq] == '=')
                LabelAfter(eq + 1, end);
        }
    }

    // `Response.Charset = "..."` and `Session.CodePage = 936`.
    void Assignment(std::size_t i)
    {
        const std::size_t eq = SkipSpaces(i);
        if (eq < m_folded.size() && m_folded[eq] == '=')
            LabelAfter(eq + 1);
    }

    // header("Content-Type: text/html; charset=gbk") and header('content-type:...').
    void PhpHeader(std::size_t i)
    {
        i = SkipSpaces(i);
        if (i >= m_folded.size() || m_folded[i] != '(')
            return;
        i = SkipSpaces(i + 1);
        if (i >= m_folded.size() || (m_folded[i] != '"' && m_folded[i] != '\''))
            return;
        const char quote = m_folded[i];
        const std::size_t end = m_folded.EndOf(i + 1, std::string_view(&quote, 1));
        if (!m_folded.At(SkipSpaces(i + 1), "content-type"))
            return;
        LabelsAfterKey("charset", i, end);
    }

    // The label at `i`, after spaces and an opening quote, up to `limit`.
    void LabelAfter(std::size_t i, std::size_t limit = std::string::npos)
    {
        limit = std::min(limit, m_folded.size());
        i = SkipSpaces(i);
        if (i < limit && (m_folded[i] == '"' || m_folded[i] == '\''))
            i = SkipSpaces(i + 1);
        std::size_t end = i;
        while (end < limit && IsLabelCharacter(m_folded[end]))
            ++end;
        // A label can be reached by two keywords (a directive's charset and its own keyword).
        if (end == i || std::find(m_labels.begin(), m_labels.end(), i) != m_labels.end())
            return;
        m_labels.push_back(i);
        const std::u16string label = m_folded.Label(i, end);
        if (m_source != m_target && CharsetLabelFamily(label) == m_source)
            m_edits.push_back({i, end, TargetLabel(label)});
    }

    std::u16string TargetLabel(std::u16string_view old) const
    {
        const bool number = std::all_of(old.begin(), old.end(), [](char16_t c) { return c >= u'0' && c <= u'9'; });
        std::u16string label;
        switch (m_target) {
        case EncodingId::Gb:
            label = number ? u"936" : u"gbk";
            break;
        case EncodingId::Big5:
            label = number ? u"950" : u"big5";
            break;
        case EncodingId::Utf8:
            label = number ? u"65001" : u"utf-8";
            break;
        }
        const bool capitals = std::any_of(old.begin(), old.end(), [](char16_t c) { return c >= u'A' && c <= u'Z'; }) &&
                              std::none_of(old.begin(), old.end(), [](char16_t c) { return c >= u'a' && c <= u'z'; });
        if (capitals)
            std::transform(label.begin(), label.end(), label.begin(),
                           [](char16_t c) { return c >= u'a' && c <= u'z' ? c - (u'a' - u'A') : c; });
        return label;
    }

    const Text& m_folded;
    EncodingId m_source;
    EncodingId m_target;
    std::vector<Edit> m_edits;
    std::vector<std::size_t> m_labels; // where each declaration's label starts
};

} // namespace

std::optional<EncodingId> CharsetLabelFamily(std::u16string_view label)
{
    struct Family
    {
        std::string_view label;
        EncodingId encoding;
    };
    static constexpr std::array<Family, 13> kFamilies{{
        {"gb2312", EncodingId::Gb},
        {"gbk", EncodingId::Gb},
        {"gb18030", EncodingId::Gb},
        {"cp936", EncodingId::Gb},
        {"x-gbk", EncodingId::Gb},
        {"936", EncodingId::Gb},
        {"big5", EncodingId::Big5},
        {"cp950", EncodingId::Big5},
        {"x-x-big5", EncodingId::Big5},
        {"950", EncodingId::Big5},
        {"utf-8", EncodingId::Utf8},
        {"utf8", EncodingId::Utf8},
        {"65001", EncodingId::Utf8},
    }};
    const std::string folded = FoldedAscii(label);
    for (const Family& family : kFamilies) {
        if (family.label == folded)
            return family.encoding;
    }
    return std::nullopt;
}

DeclarationCount RewriteCharsetDeclarations(std::u16string& text, EncodingId source, EncodingId target)
{
    std::vector<Edit> edits;
    const FoldedText folded(text);
    const DeclarationCount count = Rewriter(folded, source, target).Run(edits);
    for (const Edit& edit : edits)
        text.replace(edit.begin, edit.end - edit.begin, edit.label);
    return count;
}

DeclarationCount RewriteCharsetDeclarations(ByteView bytes, std::size_t start, EncodingId encoding, EncodingId source,
                                            EncodingId target, Bytes& rewritten)
{
    std::vector<Edit> edits;
    const FoldedBytes folded(bytes, start, encoding);
    const DeclarationCount count = Rewriter(folded, source, target).Run(edits);
    if (edits.empty())
        return count;
    // One copy, with each label put in on the way; the edits come last first.
    rewritten.clear();
    rewritten.reserve(bytes.size() + 8 * edits.size());
    std::size_t copied = 0;
    for (std::size_t e = edits.size(); e-- > 0;) {
        rewritten.insert(rewritten.end(), bytes.begin() + static_cast<std::ptrdiff_t>(copied),
                         bytes.begin() + static_cast<std::ptrdiff_t>(edits[e].begin));
        for (const char16_t unit : edits[e].label) // labels are ASCII
            rewritten.push_back(static_cast<std::uint8_t>(unit));
        copied = edits[e].end;
    }
    rewritten.insert(rewritten.end(), bytes.begin() + static_cast<std::ptrdiff_t>(copied), bytes.end());
    return count;
}

} // namespace veltran
