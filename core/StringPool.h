#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace veltran {

/// Read-only view of many strings stored back to back: string `id` is the units
/// from offsets[id] to offsets[id + 1].
class StringPool
{
public:
    StringPool() = default;
    StringPool(std::span<const char16_t> units, std::span<const std::uint32_t> offsets)
        : m_units(units), m_offsets(offsets)
    {
    }

    /// The string with the given id; the id must be below Count().
    std::u16string_view At(std::uint32_t id) const
    {
        return {m_units.data() + m_offsets[id], m_offsets[id + 1] - m_offsets[id]};
    }

    std::uint32_t Count() const { return m_offsets.empty() ? 0 : static_cast<std::uint32_t>(m_offsets.size() - 1); }

private:
    std::span<const char16_t> m_units;
    std::span<const std::uint32_t> m_offsets;
};

} // namespace veltran
