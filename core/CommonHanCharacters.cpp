#include "CommonHanCharacters.h"

#include "TextCodecs.h"

#include <unicode/uchar.h>
#include <unicode/uscript.h>

#include <array>
#include <cstdint>

namespace veltran {
namespace {

// A block of a double-byte code page: the pairs from `first` to `last` whose trail byte lies in
// one of the code page's trail ranges.
struct PairBlock
{
    std::uint16_t first;
    std::uint16_t last;
    std::array<std::pair<std::uint8_t, std::uint8_t>, 2> trailRanges;
};

constexpr PairBlock kGbLevel1{0xB0A1, 0xD7F9, {{{0xA1, 0xFE}, {0xA1, 0xFE}}}};
constexpr PairBlock kBig5Common{0xA440, 0xC67E, {{{0x40, 0x7E}, {0xA1, 0xFE}}}};
constexpr PairBlock kGbSymbolRows{0xA1A1, 0xA9FE, {{{0xA1, 0xFE}, {0xA1, 0xFE}}}};
constexpr PairBlock kBig5Symbols{0xA140, 0xA3BF, {{{0x40, 0x7E}, {0xA1, 0xFE}}}};

bool IsHan(char32_t c)
{
    UErrorCode status = U_ZERO_ERROR;
    return uscript_getScript(static_cast<UChar32>(c), &status) == USCRIPT_HAN && U_SUCCESS(status);
}

// Decodes every pair of the block on its own, so that an unassigned cell costs only itself, and
// marks the characters it yields that are Han characters (or, with `han` false, that are not). The
// tables give private-use characters for some cells near these blocks; those are never kept.
template <typename Decoder, std::size_t N>
void MarkBlock(const PairBlock& block, Decoder decode, std::bitset<N>& set, bool han = true)
{
    for (unsigned pair = block.first; pair <= block.last; ++pair) {
        const auto lead = static_cast<std::uint8_t>(pair >> 8);
        const auto trail = static_cast<std::uint8_t>(pair & 0xFF);
        bool inTrailRange = false;
        for (const auto& [low, high] : block.trailRanges)
            inTrailRange = inTrailRange || (trail >= low && trail <= high);
        if (!inTrailRange)
            continue;
        const std::array<std::uint8_t, 2> bytes{lead, trail};
        const DecodeResult decoded = decode(ByteView(bytes));
        if (!decoded.ok() || decoded->size() != 1)
            continue;
        const char16_t c = (*decoded)[0];
        const bool privateUse = c >= 0xE000 && c <= 0xF8FF;
        if (IsHan(c) == han && !privateUse)
            set.set(c);
    }
}

} // namespace

CommonHanCharacters::CommonHanCharacters()
{
    MarkBlock(kGbLevel1, DecodeGb, m_gbLevel1);
    MarkBlock(kBig5Common, DecodeBig5, m_big5Common);
    MarkBlock(kGbSymbolRows, DecodeGb, m_symbols, false);
    MarkBlock(kBig5Symbols, DecodeBig5, m_symbols, false);
}

const CommonHanCharacters& CommonHanCharacters::Get()
{
    static const CommonHanCharacters sets;
    return sets;
}

} // namespace veltran
