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
// Looks for either of two units in blocks of sixteen bytes.
template <typename Unit> class EitherInBlocks
{
public:
    static constexpr std::ptrdiff_t kUnits = 16 / sizeof(Unit);

    EitherInBlocks(Unit a, Unit b) : m_a(Spread(a)), m_b(Spread(b)) {}

    // One bit per byte of the block at `at`, set where the byte belongs to a unit that is either.
    unsigned Hits(const Unit* at) const
    {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
        const __m128i hits = sizeof(Unit) == 1 ? _mm_or_si128(_mm_cmpeq_epi8(block, m_a), _mm_cmpeq_epi8(block, m_b))
                                               : _mm_or_si128(_mm_cmpeq_epi16(block, m_a), _mm_cmpeq_epi16(block, m_b));
        return static_cast<unsigned>(_mm_movemask_epi8(hits));
    }

private:
    static __m128i Spread(Unit unit)
    {
        return sizeof(Unit) == 1 ? _mm_set1_epi8(static_cast<char>(unit)) : _mm_set1_epi16(static_cast<short>(unit));
    }

    __m128i m_a;
    __m128i m_b;
};
#endif

} // namespace unit_search

/// The first unit from `begin` on, before `end`, that is `a` or `b`; `end` when there is none.
template <typename Unit> const Unit* FindEither(const Unit* begin, const Unit* end, Unit a, Unit b)
{
    static_assert(sizeof(Unit) == 1 || sizeof(Unit) == 2);
    const Unit* p = begin;
#if defined(__SSE2__)
    const unit_search::EitherInBlocks<Unit> blocks(a, b);
    for (; end - p >= blocks.kUnits; p += blocks.kUnits) {
        if (const unsigned hits = blocks.Hits(p); hits != 0)
            return p + static_cast<unsigned>(std::countr_zero(hits)) / sizeof(Unit);
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
    const unit_search::EitherInBlocks<Unit> blocks(a, b);
    for (; p - begin >= blocks.kUnits; p -= blocks.kUnits) {
        if (const unsigned hits = blocks.Hits(p - blocks.kUnits); hits != 0)
            return p - blocks.kUnits + static_cast<unsigned>(std::bit_width(hits) - 1) / sizeof(Unit);
    }
#endif
    for (const Unit* q = p; q > begin; --q) {
        if (q[-1] == a || q[-1] == b)
            return q - 1;
    }
    return end;
}

} // namespace veltran
