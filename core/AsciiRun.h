#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace veltran {

/// The number of bytes below 0x80 from `in` on, before `end`, tested eight at a time. Such bytes are
/// the ASCII characters in GB, BIG5 and UTF-8 alike.
inline std::size_t AsciiRunLength(const std::uint8_t* in, const std::uint8_t* end)
{
    const std::uint8_t* p = in;
    for (; end - p >= 8; p += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, p, 8);
        if (const std::uint64_t high = word & 0x8080808080808080ULL; high != 0) {
            // The lowest byte with its top bit set, in memory order.
            const int bit =
                std::endian::native == std::endian::little ? std::countr_zero(high) : std::countl_zero(high);
            return static_cast<std::size_t>(p - in) + static_cast<std::size_t>(bit / 8);
        }
    }
    while (p < end && *p < 0x80)
        ++p;
    return static_cast<std::size_t>(p - in);
}

/// The number of UTF-16 units below 0x80 from `in` on, before `end`, tested four at a time.
inline std::size_t AsciiRunLength(const char16_t* in, const char16_t* end)
{
    const char16_t* p = in;
    for (; end - p >= 4; p += 4) {
        std::uint64_t word = 0;
        std::memcpy(&word, p, 8);
        if (const std::uint64_t high = word & 0xFF80FF80FF80FF80ULL; high != 0) {
            const int bit =
                std::endian::native == std::endian::little ? std::countr_zero(high) : std::countl_zero(high);
            return static_cast<std::size_t>(p - in) + static_cast<std::size_t>(bit / 16);
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
