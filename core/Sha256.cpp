#include "Sha256.h"

#include "Sha256Extensions.h"

#include <cstring>

namespace veltran {

namespace {

constexpr std::uint32_t RotateRight(std::uint32_t x, int n)
{
    return (x >> n) | (x << (32 - n));
}

} // namespace

Sha256::Sha256(Engine engine)
    : m_extensions(engine == Engine::Best && sha256::ExtensionsAvailable()), m_state{0x6a09e667, 0xbb67ae85, 0x3c6ef372,
                                                                                     0xa54ff53a, 0x510e527f, 0x9b05688c,
                                                                                     0x1f83d9ab, 0x5be0cd19}
{
}

void Sha256::Blocks(const std::uint8_t* data, std::size_t count)
{
    if (m_extensions) {
        sha256::CompressWithExtensions(m_state.data(), data, count);
        return;
    }
    for (std::size_t i = 0; i < count; ++i)
        Block(data + 64 * i);
}

void Sha256::Block(const std::uint8_t* block)
{
    std::array<std::uint32_t, 64> w{};
    for (int i = 0; i < 16; ++i)
        w[i] = std::uint32_t(block[4 * i]) << 24 | std::uint32_t(block[4 * i + 1]) << 16 |
               std::uint32_t(block[4 * i + 2]) << 8 | std::uint32_t(block[4 * i + 3]);
    for (int i = 16; i < 64; ++i) {
        const std::uint32_t s0 = RotateRight(w[i - 15], 7) ^ RotateRight(w[i - 15], 18) ^ (w[i - 15] >> 3);
        const std::uint32_t s1 = RotateRight(w[i - 2], 17) ^ RotateRight(w[i - 2], 19) ^ (w[i - 2] >> 10);
        w[i] = w[i - 16] + s0 + w[i - 7] + s1;
    }
    std::array<std::uint32_t, 8> v = m_state;
    for (int i = 0; i < 64; ++i) {
        const std::uint32_t s1 = RotateRight(v[4], 6) ^ RotateRight(v[4], 11) ^ RotateRight(v[4], 25);
        const std::uint32_t choice = (v[4] & v[5]) ^ (~v[4] & v[6]);
        const std::uint32_t t1 = v[7] + s1 + choice + sha256::kRound[i] + w[i];
        const std::uint32_t s0 = RotateRight(v[0], 2) ^ RotateRight(v[0], 13) ^ RotateRight(v[0], 22);
        const std::uint32_t majority = (v[0] & v[1]) ^ (v[0] & v[2]) ^ (v[1] & v[2]);
        v = {t1 + s0 + majority, v[0], v[1], v[2], v[3] + t1, v[4], v[5], v[6]};
    }
    for (int i = 0; i < 8; ++i)
        m_state[i] += v[i];
}

void Sha256::Add(ByteView bytes)
{
    if (bytes.empty())
        return; // an empty view may hold no pointer at all, which memcpy must not be given
    m_length += bytes.size();
    Absorb(bytes.subspan(TopUp(bytes)));
}

void Sha256::AddBoth(Sha256& first, ByteView firstBytes, Sha256& second, ByteView secondBytes)
{
    if (!first.m_extensions || !second.m_extensions || firstBytes.empty() || secondBytes.empty()) {
        first.Add(firstBytes);
        second.Add(secondBytes);
        return;
    }
    first.m_length += firstBytes.size();
    second.m_length += secondBytes.size();
    firstBytes = firstBytes.subspan(first.TopUp(firstBytes));
    secondBytes = secondBytes.subspan(second.TopUp(secondBytes));
    const std::size_t paired = std::min(firstBytes.size(), secondBytes.size()) / 64;
    sha256::CompressPairWithExtensions(first.m_state.data(), firstBytes.data(), second.m_state.data(),
                                       secondBytes.data(), paired);
    first.Absorb(firstBytes.subspan(64 * paired));
    second.Absorb(secondBytes.subspan(64 * paired));
}

std::size_t Sha256::TopUp(ByteView bytes)
{
    if (m_buffered == 0)
        return 0;
    const std::size_t take = std::min(bytes.size(), m_buffer.size() - m_buffered);
    std::memcpy(m_buffer.data() + m_buffered, bytes.data(), take);
    m_buffered += take;
    if (m_buffered == m_buffer.size()) {
        Blocks(m_buffer.data(), 1);
        m_buffered = 0;
    }
    return take;
}

void Sha256::Absorb(ByteView bytes)
{
    if (bytes.empty())
        return;
    const std::size_t whole = bytes.size() / 64;
    Blocks(bytes.data(), whole);
    const ByteView rest = bytes.subspan(64 * whole);
    std::memcpy(m_buffer.data() + m_buffered, rest.data(), rest.size());
    m_buffered += rest.size();
}

std::string Sha256::HexDigest()
{
    // A one bit, zeros up to 56 bytes into a block, and the length in bits: at most 72 bytes.
    const std::uint64_t bits = m_length * 8;
    std::array<std::uint8_t, 72> padding{};
    padding[0] = 0x80;
    std::size_t size = (m_buffered < 56 ? 56 : 120) - m_buffered;
    for (int shift = 56; shift >= 0; shift -= 8)
        padding[size++] = static_cast<std::uint8_t>(bits >> shift);
    Add(ByteView(padding.data(), size));

    static constexpr char kHex[] = "0123456789abcdef";
    std::string digest;
    for (const std::uint32_t word : m_state) {
        for (int shift = 28; shift >= 0; shift -= 4)
            digest += kHex[(word >> shift) & 0xF];
    }
    return digest;
}

std::string Sha256::Of(ByteView bytes)
{
    Sha256 hash;
    hash.Add(bytes);
    return hash.HexDigest();
}

} // namespace veltran
