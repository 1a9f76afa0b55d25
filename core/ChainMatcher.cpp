#include "ChainMatcher.h"

#include "TableBlobReader.h"

#include <unicode/utf16.h>

#include <stdexcept>

namespace veltran {
namespace {

PhraseTrie ReadTrie(TableBlobReader& reader, std::uint32_t dictionaryCount)
{
    PhraseTrie::Layout layout;
    layout.root = reader.Next<PhraseTrie::Target>();
    layout.edges = reader.Next<PhraseTrie::Edge>();
    layout.terminal = reader.Next<std::uint32_t>();
    layout.dictionaryCount = dictionaryCount;
    return PhraseTrie(layout);
}

[[noreturn]] void Damaged()
{
    throw std::runtime_error("the Chinese mapping tables are damaged");
}

} // namespace

ChainMatcher::ChainMatcher(std::span<const std::byte> tables)
{
    // The order of the arrays is the one ChainTablesBuilder writes.
    TableBlobReader reader(tables);
    const std::span<const std::uint32_t> dictionaryCounts = reader.Next<std::uint32_t>();
    m_unitClass = reader.Next<std::uint32_t>();
    const std::span<const char16_t> poolUnits = reader.Next<char16_t>();
    const std::span<const std::uint32_t> poolOffsets = reader.Next<std::uint32_t>();
    if (dictionaryCounts.empty() || m_unitClass.size() != PhraseTrie::kRootTableSize || poolOffsets.empty() ||
        poolOffsets.back() != poolUnits.size()) {
        Damaged();
    }
    m_pool = StringPool(poolUnits, poolOffsets);
    m_segmentation = ReadTrie(reader, 1);
    for (std::size_t step = 1; step < dictionaryCounts.size(); ++step) {
        m_steps.push_back(ReadTrie(reader, dictionaryCounts[step]));
    }
    if (!reader.AtEnd()) {
        Damaged();
    }
}

std::u16string ChainMatcher::Convert(std::u16string_view text) const
{
    std::u16string out;
    // Mapping rarely changes the length; a little slack keeps the odd longer
    // output from doubling the buffer.
    out.reserve(text.size() + text.size() / 64 + 16);
    std::u16string scratch[2];

    const char16_t* const begin = text.data();
    const char16_t* const end = begin + text.size();
    const std::uint32_t* const unitClass = m_unitClass.data();
    const char16_t* p = begin;
    // Units outside phrases that need the full steps gather here until something
    // that no step's phrase can cross (a phrase of the segmentation or a unit
    // with a fixed mapping) ends them.
    const char16_t* pending = nullptr;
    auto flush = [&](const char16_t* until) {
        if (pending != nullptr) {
            ConvertSegment(m_steps, m_pool, {pending, static_cast<std::size_t>(until - pending)}, out, scratch);
            pending = nullptr;
        }
    };

    while (p < end) {
        const std::uint32_t cls = unitClass[*p];
        if (cls == kCopy) {
            flush(p);
            const char16_t* q = p + 1;
            while (q < end && unitClass[*q] == kCopy) {
                ++q;
            }
            out.append(p, q);
            p = q;
            continue;
        }
        if ((cls & kStartsPhrase) != 0) {
            const PhraseTrie::Match match = m_segmentation.Longest(p, end);
            if (match.length != 0) {
                flush(p);
                out.append(m_pool.At(match.output));
                p += match.length;
                continue;
            }
        }
        switch (cls & kKindMask) {
        case kCopy:
            flush(p);
            out.push_back(*p);
            ++p;
            break;
        case kSingle:
            flush(p);
            out.push_back(static_cast<char16_t>(cls & kPayloadMask));
            ++p;
            break;
        case kPooled:
            flush(p);
            out.append(m_pool.At(cls & kPayloadMask));
            ++p;
            break;
        default:
            if (pending == nullptr) {
                pending = p;
            }
            // A character outside the BMP goes into the steps whole.
            p += (U16_IS_LEAD(*p) && p + 1 < end && U16_IS_TRAIL(p[1])) ? 2 : 1;
            break;
        }
    }
    flush(end);
    return out;
}

void ChainMatcher::ConvertSegment(std::span<const PhraseTrie> steps, const StringPool& pool,
                                  std::u16string_view segment, std::u16string& out, std::u16string (&scratch)[2])
{
    std::u16string_view current = segment;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        std::u16string& next = scratch[i % 2];
        next.clear();
        steps[i].Convert(current, pool, next);
        current = next;
    }
    out.append(current);
}

} // namespace veltran
