#include "Sha256Extensions.h"

#if defined(__x86_64__)
#include <cpuid.h>
#include <immintrin.h>
#endif

namespace veltran::sha256 {

#if defined(__x86_64__)

bool ExtensionsAvailable()
{
    // cpuid: leaf 1 ECX bit 19 is SSE4.1 (bit 9 SSSE3); leaf 7 EBX bit 29 is SHA. Asked directly, as
    // not every compiler's __builtin_cpu_supports knows "sha".
    static const bool available = [] {
        unsigned a = 0, b = 0, c = 0, d = 0;
        if (!__get_cpuid(1, &a, &b, &c, &d) || !(c & (1u << 19)) || !(c & (1u << 9)))
            return false;
        return __get_cpuid_count(7, 0, &a, &b, &c, &d) && (b & (1u << 29)) != 0;
    }();
    return available;
}

// The instructions keep the state as ABEF and CDGH and take four rounds' message words at a time,
// two rounds per instruction; the message schedule runs one group of four words ahead.
__attribute__((target("sha,sse4.1,ssse3"))) void CompressWithExtensions(std::uint32_t state[8],
                                                                        const std::uint8_t* data, std::size_t blocks)
{
    const __m128i byteSwap = _mm_set_epi64x(0x0c0d0e0f08090a0bLL, 0x0405060700010203LL);
    __m128i dcba = _mm_loadu_si128(reinterpret_cast<const __m128i*>(&state[0]));
    __m128i hgfe = _mm_loadu_si128(reinterpret_cast<const __m128i*>(&state[4]));
    const __m128i cdab = _mm_shuffle_epi32(dcba, 0xB1);
    const __m128i efgh = _mm_shuffle_epi32(hgfe, 0x1B);
    __m128i abef = _mm_alignr_epi8(cdab, efgh, 8);
    __m128i cdgh = _mm_blend_epi16(efgh, cdab, 0xF0);

    for (; blocks > 0; --blocks, data += 64) {
        const __m128i abefBefore = abef;
        const __m128i cdghBefore = cdgh;
        __m128i words[4];
        for (int i = 0; i < 4; ++i)
            words[i] = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(data + 16 * i)), byteSwap);
#pragma GCC unroll 16
        for (int group = 0; group < 16; ++group) {
            __m128i& current = words[group % 4];
            __m128i message =
                _mm_add_epi32(current, _mm_load_si128(reinterpret_cast<const __m128i*>(kRound.data() + 4 * group)));
            cdgh = _mm_sha256rnds2_epu32(cdgh, abef, message);
            if (group >= 3 && group <= 14) {
                __m128i& next = words[(group + 1) % 4];
                next = _mm_add_epi32(next, _mm_alignr_epi8(current, words[(group + 3) % 4], 4));
                next = _mm_sha256msg2_epu32(next, current);
            }
            message = _mm_shuffle_epi32(message, 0x0E);
            abef = _mm_sha256rnds2_epu32(abef, cdgh, message);
            if (group >= 1 && group <= 12) {
                __m128i& previous = words[(group + 3) % 4];
                previous = _mm_sha256msg1_epu32(previous, current);
            }
        }
        abef = _mm_add_epi32(abef, abefBefore);
        cdgh = _mm_add_epi32(cdgh, cdghBefore);
    }

    const __m128i feba = _mm_shuffle_epi32(abef, 0x1B);
    const __m128i dchg = _mm_shuffle_epi32(cdgh, 0xB1);
    dcba = _mm_blend_epi16(feba, dchg, 0xF0);
    hgfe = _mm_alignr_epi8(dchg, feba, 8);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(&state[0]), dcba);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(&state[4]), hgfe);
}

#else

bool ExtensionsAvailable()
{
    return false;
}

void CompressWithExtensions(std::uint32_t*, const std::uint8_t*, std::size_t)
{
}

#endif

} // namespace veltran::sha256
