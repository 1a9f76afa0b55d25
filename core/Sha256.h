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
    /// Best uses the processor's SHA extensions where it has them; Portable never does (for tests).
    enum class Engine
    {
        Best,
        Portable,
    };

    explicit Sha256(Engine engine = Engine::Best);

    void Add(ByteView bytes);
    /// first.Add(firstBytes) and second.Add(secondBytes) in one pass, which the processor's SHA
    /// extensions run about one and a half times as fast.
    static void AddBoth(Sha256& first, ByteView firstBytes, Sha256& second, ByteView secondBytes);
    /// The digest as 64 lower-case hexadecimal digits. Ends the hashing: add nothing after it.
    std::string HexDigest();

    /// The digest of the bytes in one call.
    static std::string Of(ByteView bytes);

private:
    /// Adds to a part-filled block what completes it, hashing it when whole; how many bytes it took.
    std::size_t TopUp(ByteView bytes);
    /// Hashes the whole blocks of bytes given after TopUp and keeps the rest for the next block.
    void Absorb(ByteView bytes);
    void Blocks(const std::uint8_t* data, std::size_t count);
    void Block(const std::uint8_t* block);

    bool m_extensions;
    std::array<std::uint32_t, 8> m_state;
    std::array<std::uint8_t, 64> m_buffer{};
    std::size_t m_buffered = 0;
    std::uint64_t m_length = 0;
};

} // namespace veltran
