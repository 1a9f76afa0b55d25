#pragma once

#include "StringPool.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace veltran {

/// Collects strings for a StringPool, storing each distinct string once.
class StringPoolBuilder
{
public:
    /// The id of the string, adding it when it is new.
    std::uint32_t Add(std::u16string_view text);

    /// View of the strings so far; it is invalidated by the next Add.
    StringPool View() const { return StringPool(m_units, m_offsets); }

    const std::vector<char16_t>& Units() const { return m_units; }
    const std::vector<std::uint32_t>& Offsets() const { return m_offsets; }

private:
    std::vector<char16_t> m_units;
    std::vector<std::uint32_t> m_offsets{0};
    std::unordered_map<std::u16string, std::uint32_t> m_ids;
};

} // namespace veltran
