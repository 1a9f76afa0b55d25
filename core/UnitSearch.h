#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace veltran {

// Searches for either of two units in text of bytes or of UTF-16 units, sixteen bytes at a time where
// the processor has SSE2: the scans of a page for quotes and tag brackets pass over all of it.

namespace unit_search {

#if defined(__SSE2__)
// One bit per byte of the block, set where the byte belongs to a unit that is `a` or `b`.
template <typename Unit> unsigned EitherMask(const Unit* at, __m128i a, __m128i b)
{
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
    const __m128i hits = sizeof(Unit) == 1 ? _mm_or_si128(_mm_cmpeq_epi8(block, a), _mm_cmpeq_epi8(block, b))
                                           : _mm_or_si128(_mm_cmpeq_epi16(block, a), _mm_cmpeq_epi16(block, b));
    return static_cast<unsigned>(_mm_movemask_epi8(hits));
}

template <typename Unit> __m128i Spread(Unit unit)
{
    return sizeof(Unit) == 1 ? _mm_set1_epi8(static_cast<char>(unit)) : _mm_set1_epi16(static_cast<short>(unit));
}
#endif

} // namespace unit_search

/// The first unit from `begin` on, before `end`, that is `a` or `b`; `end` when there is none.
template <typename Unit> const Unit* FindEither(const Unit* begin, const Unit* end, Unit a, Unit b)
{
    static_assert(sizeof(Unit) == 1 || sizeof(Unit) == 2);
    const Unit* p = begin;
#if defined(__SSE2__)
    constexpr std::size_t kPerBlock = 16 / sizeof(Unit);
    const __m128i wideA = unit_search::Spread(a);
    const __m128i wideB = unit_search::Spread(b);
    for (; static_cast<std::size_t>(end - p) >= kPerBlock; p += kPerBlock) {
        if (const unsigned mask = unit_search::EitherMask(p, wideA, wideB); mask != 0)
            return p + static_cast<unsigned>(std::countr_zero(mask)) / sizeof(Unit);
    }
#endif
    while (p < end && *p != a && *p != b)
        ++p;
    return p;
}

/// The last unit before `end`, from `begin` on, that is `a` or `b`; `end` when there is none.
template <typename Unit> const Unit* FindLastEither(const Unit* begin, const Unit* end, Unit a, Unit b)
{
    static_assert(sizeof(Unit) == 1 || sizeof(Unit) == 2);
    const Unit* p = end;
#if defined(__SSE2__)
    constexpr std::size_t kPerBlock = 16 / sizeof(Unit);
    const __m128i wideA = unit_search::Spread(a);
    const __m128i wideB = unit_search::Spread(b);
    for (; static_cast<std::size_t>(p - begin) >= kPerBlock; p -= kPerBlock) {
        if (const unsigned mask = unit_search::EitherMask(p - kPerBlock, wideA, wideB); mask != 0)
            return p - kPerBlock + static_cast<unsigned>(std::bit_width(mask) - 1) / sizeof(Unit);
    }
#endif
    while (p > begin) {
        --p;
        if (*p == a || *p == b)
            return p;
    }
    return end;
}

} // namespace veltran
