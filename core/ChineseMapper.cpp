#include "ChineseMapper.h"

namespace veltran {
namespace {

// Real text settles after one pass, and what the dictionaries make of their own phrases after two;
// the bound only keeps a cycle from running for ever.
constexpr int kMostPasses = 4;

} // namespace

ChineseMapper::ChineseMapper(std::span<const std::byte> tables, bool settles) : m_chain(tables), m_settles(settles)
{
}

void ChineseMapper::Append(std::u16string_view text, std::u16string& out) const
{
    const std::size_t start = out.size();
    m_chain.Append(text, out);
    if (!m_settles)
        return;
    // Text the chain left as it was is its own output already.
    if (std::u16string_view(out).substr(start) == text)
        return;
    thread_local std::u16string again;
    for (int pass = 1; pass < kMostPasses; ++pass) {
        const std::u16string_view mapped = std::u16string_view(out).substr(start);
        again.clear();
        m_chain.Append(mapped, again);
        if (again == mapped)
            return;
        out.resize(start);
        out += again;
    }
}

std::u16string ChineseMapper::Convert(std::u16string_view text) const
{
    std::u16string out;
    Append(text, out);
    return out;
}

} // namespace veltran
