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
    Settle(out, start);
}

void ChineseMapper::Settle(std::u16string& out, std::size_t start) const
{
    // A unit no key holds stays as it is and cuts the text into pieces that map on their own, pass after
    // pass; most pieces hold only units that map to themselves and need no further pass. Only the
    // others are mapped again, each until it stays as it is.
    thread_local std::u16string settled;
    thread_local std::u16string piece;
    thread_local std::u16string again;
    const std::u16string_view mapped = std::u16string_view(out).substr(start);
    const char16_t* const begin = mapped.data();
    const char16_t* const end = begin + mapped.size();
    settled.clear();
    bool changed = false;
    const char16_t* from = begin;
    while (from < end) {
        const char16_t* const moving = from + m_chain.MapsToItselfLength({from, static_cast<std::size_t>(end - from)});
        if (moving == end)
            break;
        // A character outside the BMP that no key holds also cuts the text; its high surrogate alone
        // would have it mapped again with the text around it.
        if (m_chain.StartsWithSupplementaryStandingAlone({moving, static_cast<std::size_t>(end - moving)})) {
            settled.append(from, moving + 2);
            from = moving + 2;
            continue;
        }
        const char16_t* pieceBegin = moving;
        while (pieceBegin > from && !m_chain.StandsAlone(pieceBegin[-1]))
            --pieceBegin;
        const char16_t* pieceEnd = moving + 1;
        while (pieceEnd < end && !m_chain.StandsAlone(*pieceEnd))
            ++pieceEnd;
        settled.append(from, pieceBegin);
        piece.assign(pieceBegin, pieceEnd);
        for (int pass = 1; pass < kMostPasses; ++pass) {
            again.clear();
            m_chain.Append(piece, again);
            if (again == piece)
                break;
            piece.swap(again);
            changed = true;
        }
        settled += piece;
        from = pieceEnd;
    }
    if (!changed)
        return;
    settled.append(from, end);
    out.resize(start);
    out += settled;
}

std::u16string ChineseMapper::Convert(std::u16string_view text) const
{
    std::u16string out;
    Append(text, out);
    return out;
}

} // namespace veltran
