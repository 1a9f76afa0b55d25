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

bool IsHan(char32_t c)
{
    UErrorCode status = U_ZERO_ERROR;
    return uscript_getScript(static_cast<UChar32>(c), &status) == USCRIPT_HAN && U_SUCCESS(status);
}

// Decodes every pair of the block on its own, so that an unassigned cell costs only itself, and
// marks the Chinese characters it yields. The tables give the euro sign and private-use characters
// for some cells near these blocks; only Han characters are kept.
template <typename Decoder, std::size_t N> void MarkBlock(const PairBlock& block, Decoder decode, std::bitset<N>& set)
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
        if (decoded.ok() && decoded->size() == 1 && IsHan((*decoded)[0]))
            set.set((*decoded)[0]);
    }
}

} // namespace

CommonHanCharacters::CommonHanCharacters()
{
    MarkBlock(kGbLevel1, DecodeGb, m_gbLevel1);
    MarkBlock(kBig5Common, DecodeBig5, m_big5Common);
}

const CommonHanCharacters& CommonHanCharacters::Get()
{
    static const CommonHanCharacters sets;
    return sets;
}

} // namespace veltran
