#pragma once

#include "Bytes.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

namespace veltran {

/// A growable run of bytes whose room is not cleared before it is written: for a file read whole
/// and for the bytes of a converted file. Large buffers grow in place where the system can move
/// their pages (realloc), so growing never holds the old and the new copy at once.
class ByteBuffer
{
public:
    ByteBuffer() = default;
    explicit ByteBuffer(std::size_t capacity) { Reserve(capacity); }
    ByteBuffer(ByteBuffer&& other) noexcept
        : m_data(std::exchange(other.m_data, nullptr)), m_size(std::exchange(other.m_size, 0)),
          m_capacity(std::exchange(other.m_capacity, 0))
    {
    }
    ByteBuffer& operator=(ByteBuffer&& other) noexcept
    {
        std::swap(m_data, other.m_data);
        std::swap(m_size, other.m_size);
        std::swap(m_capacity, other.m_capacity);
        return *this;
    }
    ByteBuffer(const ByteBuffer&) = delete;
    ByteBuffer& operator=(const ByteBuffer&) = delete;
    ~ByteBuffer() { std::free(m_data); }

    std::uint8_t* data() { return m_data; }
    const std::uint8_t* data() const { return m_data; }
    std::size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }
    std::size_t capacity() const { return m_capacity; }
    operator ByteView() const { return {m_data, m_size}; }

    /// Room for at least `capacity` bytes in all. Throws std::bad_alloc.
    void Reserve(std::size_t capacity)
    {
        if (capacity <= m_capacity)
            return;
        void* grown = std::realloc(m_data, capacity);
        if (grown == nullptr)
            throw std::bad_alloc();
        m_data = static_cast<std::uint8_t*>(grown);
        m_capacity = capacity;
    }

    /// Makes `count` more bytes part of the buffer and returns where they start, for the caller to
    /// write; the room grows by half at least, so appending stays cheap.
    std::uint8_t* Extend(std::size_t count)
    {
        if (m_capacity - m_size < count)
            Reserve(std::max(m_size + count, m_capacity + m_capacity / 2));
        std::uint8_t* at = m_data + m_size;
        m_size += count;
        return at;
    }

    void Append(ByteView bytes)
    {
        if (!bytes.empty())
            std::memcpy(Extend(bytes.size()), bytes.data(), bytes.size());
    }

    /// Drops the bytes from `size` on; the room stays.
    void Truncate(std::size_t size) { m_size = std::min(size, m_size); }

private:
    std::uint8_t* m_data = nullptr;
    std::size_t m_size = 0;
    std::size_t m_capacity = 0;
};

} // namespace veltran
