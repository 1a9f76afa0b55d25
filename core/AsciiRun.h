#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace veltran {

/// The number of units below 0x80 from `in` on, before `end`: bytes below 0x80 are the ASCII
/// characters in GB, BIG5 and UTF-8 alike, and UTF-16 units below 0x80 are ASCII.
template <typename Unit> std::size_t AsciiRunLength(const Unit* in, const Unit* end)
{
    static_assert(sizeof(Unit) == 1 || sizeof(Unit) == 2);
    const Unit* p = in;
    // Many runs are empty: the characters of a line of Chinese text are asked for one by one.
    if (p < end && static_cast<std::uint16_t>(*p) >= 0x80)
        return 0;
#if defined(__SSE2__)
    // Then a block at a time: most of a page is ASCII, and every pass over it starts here.
    constexpr std::size_t kPerBlock = 16 / sizeof(Unit);
    const __m128i highBits = sizeof(Unit) == 1 ? _mm_set1_epi8(static_cast<char>(0x80)) : _mm_set1_epi16(-0x80);
    for (; static_cast<std::size_t>(end - p) >= kPerBlock; p += kPerBlock) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i high = _mm_and_si128(block, highBits);
        const auto notAscii = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(high, _mm_setzero_si128())));
        if (notAscii != 0xFFFF) {
            // For units of two bytes a unit is ASCII only when both of its bytes passed.
            const unsigned first = static_cast<unsigned>(std::countr_one(notAscii));
            return static_cast<std::size_t>(p - in) + first / sizeof(Unit);
        }
    }
#else
    constexpr std::size_t kPerWord = 8 / sizeof(Unit);
    // The bits of each unit of a word that only units of 0x80 and above have.
    constexpr std::uint64_t kHighBits = sizeof(Unit) == 1 ? 0x8080808080808080ULL : 0xFF80FF80FF80FF80ULL;
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
#endif
    while (p < end && static_cast<std::uint16_t>(*p) < 0x80)
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
