#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace veltran {

/// The number of units below 0x80 from `in` on, before `end`, tested eight bytes at a time: bytes
/// below 0x80 are the ASCII characters in GB, BIG5 and UTF-8 alike, and UTF-16 units below 0x80 are
/// ASCII.
template <typename Unit> std::size_t AsciiRunLength(const Unit* in, const Unit* end)
{
    static_assert(sizeof(Unit) == 1 || sizeof(Unit) == 2);
    constexpr std::size_t kPerWord = 8 / sizeof(Unit);
    // The bits of each unit of a word that only units of 0x80 and above have.
    constexpr std::uint64_t kHighBits = sizeof(Unit) == 1 ? 0x8080808080808080ULL : 0xFF80FF80FF80FF80ULL;
    const Unit* p = in;
    for (; static_cast<std::size_t>(end - p) >= kPerWord; p += kPerWord) {
        std::uint64_t word = 0;
        std::memcpy(&word, p, 8);
        if (const std::uint64_t high = word & kHighBits; high != 0) {
            // The first such unit in memory order.
            const int bit =
                std::endian::native == std::endian::little ? std::countr_zero(high) : std::countl_zero(high);
            return static_cast<std::size_t>(p - in) + static_cast<std::size_t>(bit) / (8 * sizeof(Unit));
        }
    }
    while (p < end && *p < 0x80)
        ++p;
    return static_cast<std::size_t>(p - in);
}

/// Copies the run of bytes below 0x80 from `in` on, before `end`, to `out` as UTF-16 units; returns
/// where the run ends and moves `out` past the units written.
inline const std::uint8_t* WidenAsciiRun(const std::uint8_t* in, const std::uint8_t* end, char16_t*& out)
{
    const std::size_t run = AsciiRunLength(in, end);
    std::copy_n(in, run, out);
    out += run;
    return in + run;
}

} // namespace veltran
