#include "StringPoolBuilder.h"

namespace veltran {

std::uint32_t StringPoolBuilder::Add(std::u16string_view text)
{
    const auto [it, added] = m_ids.try_emplace(std::u16string(text), static_cast<std::uint32_t>(m_offsets.size() - 1));
    if (added) {
        m_units.insert(m_units.end(), text.begin(), text.end());
        m_offsets.push_back(static_cast<std::uint32_t>(m_units.size()));
    }
    return it->second;
}

} // namespace veltran
