#pragma once

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
        if ((word & 0x8080808080808080ULL) != 0)
            break;
    }
    while (p < end && *p < 0x80)
        ++p;
    return static_cast<std::size_t>(p - in);
}

} // namespace veltran
