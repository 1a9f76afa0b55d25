#pragma once

#include <cstdint>

namespace veltran {

/// GB 18030 through ICU's "gb18030" converter, which maps every Unicode character. Both functions
/// are thread-safe and throw std::runtime_error when ICU lacks the converter.
class Gb18030Codec
{
public:
    /// Decodes as CodePage::Decode does: while characters start before `stop`, one unit per byte at
    /// most to `out`, stopping before a character whose first byte is below 0x80 when `stopAtAscii`.
    /// Returns where it stopped; `invalid` is set when a malformed, cut short (by `end`) or unassigned
    /// sequence starts there.
    static const std::uint8_t* Decode(const std::uint8_t* in, const std::uint8_t* stop, const std::uint8_t* end,
                                      bool stopAtAscii, char16_t*& out, bool& invalid);

    /// Encodes the units to `out`, which has room for four bytes per unit; returns the end of the
    /// bytes written. A lone surrogate, the one thing GB 18030 cannot hold, becomes '?'.
    static std::uint8_t* Encode(const char16_t* in, const char16_t* end, std::uint8_t* out);
};

} // namespace veltran
