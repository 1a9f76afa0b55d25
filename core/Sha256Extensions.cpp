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
// two rounds per instruction; the message schedule runs one group of four words ahead. Each round
// waits for the one before, so with two hashes in step the processor works on one while the other
// waits.
template <int Lanes>
__attribute__((target("sha,sse4.1,ssse3"))) inline void
CompressLanes(std::uint32_t* const (&states)[Lanes], const std::uint8_t* (&data)[Lanes], std::size_t blocks)
{
    const __m128i byteSwap = _mm_set_epi64x(0x0c0d0e0f08090a0bLL, 0x0405060700010203LL);
    __m128i abef[Lanes];
    __m128i cdgh[Lanes];
#pragma GCC unroll 2
    for (int lane = 0; lane < Lanes; ++lane) {
        const __m128i dcba = _mm_loadu_si128(reinterpret_cast<const __m128i*>(&states[lane][0]));
        const __m128i hgfe = _mm_loadu_si128(reinterpret_cast<const __m128i*>(&states[lane][4]));
        const __m128i cdab = _mm_shuffle_epi32(dcba, 0xB1);
        const __m128i efgh = _mm_shuffle_epi32(hgfe, 0x1B);
        abef[lane] = _mm_alignr_epi8(cdab, efgh, 8);
        cdgh[lane] = _mm_blend_epi16(efgh, cdab, 0xF0);
    }

    for (; blocks > 0; --blocks) {
        __m128i abefBefore[Lanes];
        __m128i cdghBefore[Lanes];
        __m128i words[Lanes][4];
#pragma GCC unroll 2
        for (int lane = 0; lane < Lanes; ++lane) {
            abefBefore[lane] = abef[lane];
            cdghBefore[lane] = cdgh[lane];
            for (int i = 0; i < 4; ++i)
                words[lane][i] =
                    _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(data[lane] + 16 * i)), byteSwap);
            data[lane] += 64;
        }
#pragma GCC unroll 16
        for (int group = 0; group < 16; ++group) {
            const __m128i round = _mm_load_si128(reinterpret_cast<const __m128i*>(kRound.data() + 4 * group));
#pragma GCC unroll 2
            for (int lane = 0; lane < Lanes; ++lane) {
                __m128i* w = words[lane];
                __m128i& current = w[group % 4];
                __m128i message = _mm_add_epi32(current, round);
                cdgh[lane] = _mm_sha256rnds2_epu32(cdgh[lane], abef[lane], message);
                if (group >= 3 && group <= 14) {
                    __m128i& next = w[(group + 1) % 4];
                    next = _mm_add_epi32(next, _mm_alignr_epi8(current, w[(group + 3) % 4], 4));
                    next = _mm_sha256msg2_epu32(next, current);
                }
                message = _mm_shuffle_epi32(message, 0x0E);
                abef[lane] = _mm_sha256rnds2_epu32(abef[lane], cdgh[lane], message);
                if (group >= 1 && group <= 12) {
                    __m128i& previous = w[(group + 3) % 4];
                    previous = _mm_sha256msg1_epu32(previous, current);
                }
            }
        }
#pragma GCC unroll 2
        for (int lane = 0; lane < Lanes; ++lane) {
            abef[lane] = _mm_add_epi32(abef[lane], abefBefore[lane]);
            cdgh[lane] = _mm_add_epi32(cdgh[lane], cdghBefore[lane]);
        }
    }

#pragma GCC unroll 2
    for (int lane = 0; lane < Lanes; ++lane) {
        const __m128i feba = _mm_shuffle_epi32(abef[lane], 0x1B);
        const __m128i dchg = _mm_shuffle_epi32(cdgh[lane], 0xB1);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(&states[lane][0]), _mm_blend_epi16(feba, dchg, 0xF0));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(&states[lane][4]), _mm_alignr_epi8(dchg, feba, 8));
    }
}

__attribute__((target("sha,sse4.1,ssse3"))) void CompressWithExtensions(std::uint32_t state[8],
                                                                        const std::uint8_t* data, std::size_t blocks)
{
    std::uint32_t* const states[1]{state};
    const std::uint8_t* from[1]{data};
    CompressLanes<1>(states, from, blocks);
}

__attribute__((target("sha,sse4.1,ssse3"))) void
CompressPairWithExtensions(std::uint32_t first[8], const std::uint8_t* firstData, std::uint32_t second[8],
                           const std::uint8_t* secondData, std::size_t blocks)
{
    std::uint32_t* const states[2]{first, second};
    const std::uint8_t* from[2]{firstData, secondData};
    CompressLanes<2>(states, from, blocks);
}

#else

bool ExtensionsAvailable()
{
    return false;
}

void CompressWithExtensions(std::uint32_t*, const std::uint8_t*, std::size_t)
{
}

void CompressPairWithExtensions(std::uint32_t*, const std::uint8_t*, std::uint32_t*, const std::uint8_t*, std::size_t)
{
}

#endif

} // namespace veltran::sha256
