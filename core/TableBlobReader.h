#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace veltran {

/// Reads back, without copying, the arrays that TableBlobWriter wrote. The blob
/// must be aligned to 8 bytes and outlive every span taken from it.
class TableBlobReader
{
public:
    /// Throws std::runtime_error when the blob does not start with the table
    /// magic.
    explicit TableBlobReader(std::span<const std::byte> blob);

    /// The next array; throws std::runtime_error when the blob ends early or the
    /// size does not fit T.
    template <typename T> std::span<const T> Next()
    {
        const std::span<const std::byte> bytes = NextBytes(alignof(T), sizeof(T));
        return {reinterpret_cast<const T*>(bytes.data()), bytes.size() / sizeof(T)};
    }

    /// True when every array has been read.
    bool AtEnd() const { return m_offset == m_blob.size(); }

private:
    std::span<const std::byte> NextBytes(std::size_t alignment, std::size_t elementSize);

    std::span<const std::byte> m_blob;
    std::size_t m_offset = 0;
};

} // namespace veltran
