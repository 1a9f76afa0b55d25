#include "ChineseTextStatistics.h"

#include <unicode/utf8.h>

#include <string_view>

namespace veltran {
namespace {

// The characters (or pairs) that share one cost (or bonus), as UTF-8.
struct CostBand
{
    int bits;
    const char* characters;
};

#include "ChineseTextStatistics.inc"

std::uint32_t PairKey(char32_t first, char32_t second)
{
    return static_cast<std::uint32_t>(first) << 16 | static_cast<std::uint32_t>(second);
}

// The code points of a band; the generator writes only valid UTF-8 of the Basic Multilingual Plane.
template <typename Visit> void ForEachCharacter(const char* utf8, Visit visit)
{
    const std::string_view text(utf8);
    std::size_t i = 0;
    while (i < text.size()) {
        UChar32 c = 0;
        U8_NEXT(text.data(), i, text.size(), c);
        if (c >= 0 && c < 0x10000)
            visit(static_cast<char32_t>(c));
    }
}

} // namespace

ChineseTextStatistics::ChineseTextStatistics()
{
    for (const CostBand& band : kCharacterCosts)
        ForEachCharacter(band.characters, [&](char32_t c) { m_costs[c] = static_cast<std::uint8_t>(band.bits); });
    for (const CostBand& band : kPairBonuses) {
        char32_t first = 0;
        ForEachCharacter(band.characters, [&](char32_t c) {
            if (first == 0) {
                first = c;
                return;
            }
            m_pairBonuses.emplace(PairKey(first, c), static_cast<std::uint8_t>(band.bits));
            first = 0;
        });
    }
}

const ChineseTextStatistics& ChineseTextStatistics::Get()
{
    static const ChineseTextStatistics statistics;
    return statistics;
}

int ChineseTextStatistics::PairBonus(char32_t first, char32_t second) const
{
    if (first >= kPlaneSize || second >= kPlaneSize)
        return 0;
    const auto found = m_pairBonuses.find(PairKey(first, second));
    return found == m_pairBonuses.end() ? 0 : found->second;
}

} // namespace veltran
