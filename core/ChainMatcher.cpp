#include "ChainMatcher.h"

#include "AsciiRun.h"
#include "TableBlobReader.h"

#include <unicode/utf16.h>

#include <algorithm>
#include <functional>
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

bool InOrderOutsideTheBmp(std::span<const std::uint32_t> codePoints)
{
    return std::all_of(codePoints.begin(), codePoints.end(),
                       [](std::uint32_t c) { return c >= 0x10000 && c <= 0x10FFFF; }) &&
           std::adjacent_find(codePoints.begin(), codePoints.end(), std::greater_equal<>()) == codePoints.end();
}

} // namespace

ChainMatcher::ChainMatcher(std::span<const std::byte> tables)
{
    // The order of the arrays is the one ChainTablesBuilder writes.
    TableBlobReader reader(tables);
    const std::span<const std::uint32_t> dictionaryCounts = reader.Next<std::uint32_t>();
    m_unitClass = reader.Next<std::uint32_t>();
    m_startFilter = reader.Next<std::uint64_t>();
    m_supplementaryInKeys = reader.Next<std::uint32_t>();
    const std::span<const char16_t> poolUnits = reader.Next<char16_t>();
    const std::span<const std::uint32_t> poolOffsets = reader.Next<std::uint32_t>();
    if (dictionaryCounts.empty() || m_unitClass.size() != PhraseTrie::kRootTableSize ||
        m_startFilter.size() * 64 != (std::size_t{1} << kStartFilterBits) || poolOffsets.empty() ||
        poolOffsets.back() != poolUnits.size() || !InOrderOutsideTheBmp(m_supplementaryInKeys)) {
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
    m_asciiCopies = true;
    for (char16_t unit = 0; unit < 0x80; ++unit) {
        m_asciiCopies = m_asciiCopies && (m_unitClass[unit] & ~kStandsAlone) == kCopy;
    }
}

std::u16string ChainMatcher::Convert(std::u16string_view text) const
{
    std::u16string out;
    Append(text, out);
    return out;
}

namespace {

// Writes the output through a pointer into room made ahead in the string. The
// room left never falls below the input left, since every unit the loop takes
// gives at most one unit unless it asks for more.
class UnitWriter
{
public:
    UnitWriter(std::u16string& out, std::size_t inputSize) : m_out(out)
    {
        const std::size_t start = out.size();
        // Mapping rarely changes the length; a little slack keeps the odd longer
        // output from growing the string.
        out.resize(start + inputSize + inputSize / 64 + 16);
        m_at = out.data() + start;
        m_end = out.data() + out.size();
    }

    // Room for `units` more than the input left takes.
    void Reserve(std::size_t units, std::size_t inputLeft)
    {
        if (static_cast<std::size_t>(m_end - m_at) < units + inputLeft) {
            const std::size_t used = static_cast<std::size_t>(m_at - m_out.data());
            m_out.resize(std::max(m_out.size() + m_out.size() / 2, used + units + inputLeft + 16));
            m_at = m_out.data() + used;
            m_end = m_out.data() + m_out.size();
        }
    }

    void Put(char16_t unit) { *m_at++ = unit; }

    void Put(const char16_t* from, std::size_t count)
    {
        std::copy_n(from, count, m_at);
        m_at += count;
    }

    void Finish() { m_out.resize(static_cast<std::size_t>(m_at - m_out.data())); }

private:
    std::u16string& m_out;
    char16_t* m_at;
    char16_t* m_end;
};

} // namespace

bool ChainMatcher::MapsToItself(std::u16string_view text) const
{
    return std::all_of(text.begin(), text.end(), UnitMapsToItself());
}

bool ChainMatcher::StartsWithSupplementaryStandingAlone(std::u16string_view text) const
{
    if (text.size() < 2 || !U16_IS_LEAD(text[0]) || !U16_IS_TRAIL(text[1]))
        return false;
    return !std::binary_search(m_supplementaryInKeys.begin(), m_supplementaryInKeys.end(),
                               static_cast<std::uint32_t>(U16_GET_SUPPLEMENTARY(text[0], text[1])));
}

std::size_t ChainMatcher::MapsToItselfLength(std::u16string_view text) const
{
    return static_cast<std::size_t>(std::find_if_not(text.begin(), text.end(), UnitMapsToItself()) - text.begin());
}

void ChainMatcher::Append(std::u16string_view text, std::u16string& out) const
{
    // Most text that a chain is run over as a precaution (Simplified text through the Simplified chain)
    // holds nothing it changes: one look a unit settles that, where matching walks the phrases.
    if (MapsToItself(text)) {
        out.append(text);
        return;
    }
    UnitWriter writer(out, text.size());
    std::u16string segmentOutput;
    std::u16string scratch[2];

    const char16_t* const end = text.data() + text.size();
    const std::uint32_t* const unitClass = m_unitClass.data();
    const char16_t* p = text.data();
    // Units outside phrases that need the full steps gather here until something
    // that no step's phrase can cross (a phrase of the segmentation or a unit
    // with a fixed mapping) ends them.
    const char16_t* pending = nullptr;
    auto convertPending = [&](const char16_t* until) {
        segmentOutput.clear();
        ConvertSegment(m_steps, m_pool, {pending, static_cast<std::size_t>(until - pending)}, segmentOutput, scratch);
        writer.Reserve(segmentOutput.size(), static_cast<std::size_t>(end - until));
        writer.Put(segmentOutput.data(), segmentOutput.size());
        pending = nullptr;
    };
    // Most units end no pending segment, so the test stays in the loop and the work out of it.
    auto flush = [&](const char16_t* until) {
        if (pending != nullptr) [[unlikely]] {
            convertPending(until);
        }
    };
    auto putPooled = [&](std::uint32_t id, std::size_t taken) {
        const std::u16string_view output = m_pool.At(id);
        writer.Reserve(output.size(), static_cast<std::size_t>(end - p) - taken);
        writer.Put(output.data(), output.size());
    };

    while (p < end) {
        const std::uint32_t cls = unitClass[*p];
        if ((cls & ~kStandsAlone) == kCopy) {
            flush(p);
            const char16_t* q = p + 1;
            while (q < end) {
                // ASCII, the bulk of most pages, a block at a time.
                if (m_asciiCopies) {
                    q += AsciiRunLength(q, end);
                    if (q == end)
                        break;
                }
                if ((unitClass[*q] & ~kStandsAlone) != kCopy) {
                    break;
                }
                ++q;
            }
            writer.Put(p, static_cast<std::size_t>(q - p));
            p = q;
            continue;
        }
        if ((cls & kStartsPhrase) != 0 && p + 1 < end && MayStartPhrase(p, end)) {
            const PhraseTrie::Match match = m_segmentation.LongestOfTwoOrMore(p, end);
            if (match.length != 0) {
                flush(p);
                putPooled(match.output, match.length);
                p += match.length;
                continue;
            }
        }
        switch (cls & kKindMask) {
        case kCopy:
            flush(p);
            writer.Put(*p);
            ++p;
            break;
        case kSingle:
            flush(p);
            writer.Put(static_cast<char16_t>(cls & kPayloadMask));
            ++p;
            break;
        case kPooled:
            flush(p);
            putPooled(cls & kPayloadMask, 1);
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
    writer.Finish();
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
