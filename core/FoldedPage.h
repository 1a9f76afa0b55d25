#pragma once

#include "Bytes.h"
#include "EncodingId.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// The views of a page that the search for charset declarations reads: its decoded text, or its bytes
// in GB, BIG5 or UTF-8 seen as the decoded text would be, each unit folded so that ASCII keywords are
// found in any letter case.
namespace veltran::folded {

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

} // namespace veltran::folded
