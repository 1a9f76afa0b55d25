#include "TableBlobReader.h"

#include "TableBlobWriter.h"

#include <cstring>
#include <stdexcept>

namespace veltran {
namespace {

[[noreturn]] void Damaged()
{
    throw std::runtime_error("the Chinese mapping tables are damaged");
}

} // namespace

TableBlobReader::TableBlobReader(std::span<const std::byte> blob) : m_blob(blob)
{
    if (blob.size() < kTableBlobMagic.size() ||
        std::memcmp(blob.data(), kTableBlobMagic.data(), kTableBlobMagic.size()) != 0 ||
        reinterpret_cast<std::uintptr_t>(blob.data()) % 8 != 0) {
        Damaged();
    }
    m_offset = kTableBlobMagic.size();
}

std::span<const std::byte> TableBlobReader::NextBytes(std::size_t alignment, std::size_t elementSize)
{
    std::uint64_t byteCount = 0;
    if (m_blob.size() - m_offset < sizeof byteCount) {
        Damaged();
    }
    std::memcpy(&byteCount, m_blob.data() + m_offset, sizeof byteCount);
    m_offset += sizeof byteCount;
    if (byteCount > m_blob.size() - m_offset || byteCount % elementSize != 0 || m_offset % alignment != 0) {
        Damaged();
    }
    const std::span<const std::byte> bytes = m_blob.subspan(m_offset, byteCount);
    m_offset += (byteCount + 7) / 8 * 8;
    if (m_offset > m_blob.size()) {
        m_offset = m_blob.size();
    }
    return bytes;
}

} // namespace veltran
