#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace veltran {

/// How often real Chinese text uses each character and each pair of Chinese characters, learned
/// from Simplified and Traditional text that Debian installs (tools/han_frequencies.py made the
/// table; Simplified and Traditional text weigh half each). Only characters of the Basic
/// Multilingual Plane are held.
class ChineseTextStatistics
{
public:
    /// The table, read once per process on first use (safe from any thread).
    static const ChineseTextStatistics& Get();

    /// -log2 of the character's share of the non-ASCII characters of real text, in whole bits (1 for
    /// the most frequent); 0 for a character the table does not hold, which real text seldom uses.
    int Cost(char32_t c) const { return c < kPlaneSize ? m_costs[c] : 0; }

    /// How many bits more likely `second` is right after `first` than anywhere, for pairs that real
    /// text uses often; 0 for any other pair.
    int PairBonus(char32_t first, char32_t second) const;

private:
    static constexpr std::size_t kPlaneSize = 0x10000;
    // Open addressing with at most half the slots used: a pair is looked up for nearly every Chinese
    // character judged, and a general hash map made that a fifth of the judgement.
    static constexpr int kPairSlotBits = 13;

    ChineseTextStatistics();
    void AddPair(std::uint32_t key, std::uint8_t bonus);
    static std::size_t PairSlot(std::uint32_t key);

    std::array<std::uint8_t, kPlaneSize> m_costs{};
    std::vector<std::uint32_t> m_pairKeys; // 0: an empty slot (no key is 0: both characters are beyond ASCII)
    std::vector<std::uint8_t> m_pairBonuses;
};

} // namespace veltran
