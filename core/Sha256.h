#pragma once

#include "Bytes.h"

#include <array>
#include <cstdint>
#include <string>

namespace veltran {

/// SHA-256 of bytes given in one or more pieces.
class Sha256
{
public:
    Sha256();

    void Add(ByteView bytes);
    /// The digest as 64 lower-case hexadecimal digits. Ends the hashing: add nothing after it.
    std::string HexDigest();

    /// The digest of the bytes in one call.
    static std::string Of(ByteView bytes);

private:
    void Block(const std::uint8_t* block);

    std::array<std::uint32_t, 8> m_state;
    std::array<std::uint8_t, 64> m_buffer{};
    std::size_t m_buffered = 0;
    std::uint64_t m_length = 0;
};

} // namespace veltran
