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
    : m_pairKeys(std::size_t{1} << kPairSlotBits, 0), m_pairBonuses(m_pairKeys.size(), 0)
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
            AddPair(PairKey(first, c), static_cast<std::uint8_t>(band.bits));
            first = 0;
        });
    }
}

const ChineseTextStatistics& ChineseTextStatistics::Get()
{
    static const ChineseTextStatistics statistics;
    return statistics;
}

std::size_t ChineseTextStatistics::PairSlot(std::uint32_t key)
{
    return static_cast<std::uint32_t>(key * 2654435761U) >> (32 - kPairSlotBits);
}

void ChineseTextStatistics::AddPair(std::uint32_t key, std::uint8_t bonus)
{
    const std::size_t mask = m_pairKeys.size() - 1;
    std::size_t slot = PairSlot(key);
    while (m_pairKeys[slot] != 0 && m_pairKeys[slot] != key)
        slot = (slot + 1) & mask;
    m_pairKeys[slot] = key;
    m_pairBonuses[slot] = bonus;
}

int ChineseTextStatistics::PairBonus(char32_t first, char32_t second) const
{
    if (first >= kPlaneSize || second >= kPlaneSize)
        return 0;
    const std::uint32_t key = PairKey(first, second);
    const std::size_t mask = m_pairKeys.size() - 1;
    for (std::size_t slot = PairSlot(key); m_pairKeys[slot] != 0; slot = (slot + 1) & mask) {
        if (m_pairKeys[slot] == key)
            return m_pairBonuses[slot];
    }
    return 0;
}

} // namespace veltran
