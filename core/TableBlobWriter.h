#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string_view>
#include <vector>

namespace veltran {

/// Magic that opens every table blob; a blob that does not start with it is
/// refused.
inline constexpr std::string_view kTableBlobMagic{"VLTMAP05", 8};

/// Writes arrays one after another into a byte blob that TableBlobReader reads
/// back in the same order: each array is its byte count (8 bytes) followed by
/// its bytes, padded to 8 bytes.
class TableBlobWriter
{
public:
    TableBlobWriter() { Raw(kTableBlobMagic.data(), kTableBlobMagic.size()); }

    template <typename T> void Append(std::span<const T> values)
    {
        const std::uint64_t byteCount = values.size_bytes();
        Raw(&byteCount, sizeof byteCount);
        Raw(values.data(), values.size_bytes());
        m_bytes.resize((m_bytes.size() + 7) / 8 * 8, std::byte{0});
    }

    const std::vector<std::byte>& Bytes() const { return m_bytes; }

private:
    void Raw(const void* data, std::size_t size)
    {
        const std::size_t start = m_bytes.size();
        m_bytes.resize(start + size);
        if (size != 0) {
            std::memcpy(m_bytes.data() + start, data, size);
        }
    }

    std::vector<std::byte> m_bytes;
};

} // namespace veltran
