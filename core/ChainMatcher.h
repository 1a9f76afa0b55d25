#pragma once

#include "PhraseTrie.h"
#include "StringPool.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace veltran {

/// Runs a Chinese mapping chain (segmentation by longest match, then conversion
/// steps applied to each segment, the way OpenCC does) directly on UTF-16 text,
/// from tables made by ChainTablesBuilder. Thread-safe: conversions only read
/// the tables.
class ChainMatcher
{
public:
    // Each BMP unit has a class word: whether a segmentation phrase of two or
    // more units can start with it, whether any key holds it at all, and what
    // becomes of it when it stands outside a longer phrase.
    static constexpr std::uint32_t kStartsPhrase = 1u << 31;
    static constexpr std::uint32_t kStandsAlone = 1u << 30; // in no key of the chain; kind kCopy
    static constexpr std::uint32_t kKindShift = 28;
    static constexpr std::uint32_t kKindMask = 3u << kKindShift;
    // Set on one unit of each phrase whose units are all of kind kCopy and
    // whose output differs from it: text of such units, none of them marked,
    // maps to itself.
    static constexpr std::uint32_t kInChangingPhrase = 1u << 27;
    static constexpr std::uint32_t kPayloadMask = kInChangingPhrase - 1;
    static constexpr std::uint32_t kCopy = 0u << kKindShift;    // stays as it is
    static constexpr std::uint32_t kSingle = 1u << kKindShift;  // becomes the unit in the payload
    static constexpr std::uint32_t kPooled = 2u << kKindShift;  // becomes the pool string in the payload
    static constexpr std::uint32_t kComplex = 3u << kKindShift; // needs the conversion steps in full

    // Every segmentation phrase of two or more units sets one bit of this filter:
    // a phrase of two units by its pair, a longer one by its first three units.
    // Most units that start a phrase somewhere start none in the text at hand,
    // and the filter settles them without walking the trie, whose every step
    // down misses the cache.
    static constexpr std::uint32_t kStartFilterBits = 20;

    static std::size_t PairFilterBit(char16_t first, char16_t second)
    {
        const std::uint32_t key = (std::uint32_t{first} << 16) | second;
        return (key * 0x9E3779B1u) >> (32 - kStartFilterBits);
    }

    static std::size_t TripleFilterBit(char16_t first, char16_t second, char16_t third)
    {
        const std::uint64_t key = (std::uint64_t{first} << 32) | (std::uint64_t{second} << 16) | third;
        return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> (64 - kStartFilterBits));
    }

    /// Reads tables written by ChainTablesBuilder; they must outlive the matcher.
    /// Throws std::runtime_error when they are damaged.
    explicit ChainMatcher(std::span<const std::byte> tables);

    /// Maps the text. Units that no dictionary maps are returned unchanged,
    /// including NUL and unpaired surrogates, which also end any phrase; empty
    /// text gives empty text.
    std::u16string Convert(std::u16string_view text) const;

    /// Maps the text as Convert does and appends the result to `out`, which must
    /// not hold the text.
    void Append(std::u16string_view text, std::u16string& out) const;

    /// True when no key of any dictionary of the chain holds the unit. Text cut
    /// just before such a unit maps to the same as its pieces mapped one by one.
    bool StandsAlone(char16_t unit) const { return (m_unitClass[unit] & kStandsAlone) != 0; }

    /// Passes one segment through the conversion steps, each step working on the
    /// whole output of the one before, and appends the result to `out`. `scratch`
    /// holds the steps' intermediate text.
    static void ConvertSegment(std::span<const PhraseTrie> steps, const StringPool& pool, std::u16string_view segment,
                               std::u16string& out, std::u16string (&scratch)[2]);

    /// True when the text starts with a character outside the BMP that no key of the chain holds:
    /// like a unit that stands alone, it maps to itself and text cut just before or after it maps
    /// to the same as its pieces. Its high surrogate alone may still be held by keys of other
    /// characters.
    bool StartsWithSupplementaryStandingAlone(std::u16string_view text) const;

    /// True when every unit of the text is of kind kCopy and none is marked
    /// kInChangingPhrase: the text, and any piece of it, maps to itself.
    bool MapsToItself(std::u16string_view text) const;

    /// How many units from the start of the text MapsToItself passes.
    std::size_t MapsToItselfLength(std::u16string_view text) const;

private:
    // The test MapsToItself and MapsToItselfLength put to each unit.
    auto UnitMapsToItself() const
    {
        const std::uint32_t* const unitClass = m_unitClass.data();
        const std::uint32_t asciiLimit = m_asciiCopies ? 0x80 : 0;
        return [unitClass, asciiLimit](char16_t unit) {
            return unit < asciiLimit || (unitClass[unit] & (kKindMask | kInChangingPhrase)) == kCopy;
        };
    }

    bool FilterHas(std::size_t bit) const { return ((m_startFilter[bit / 64] >> (bit % 64)) & 1u) != 0; }

    // False when no segmentation phrase of two or more units starts the text at
    // `p`; `p + 1 < end`.
    bool MayStartPhrase(const char16_t* p, const char16_t* end) const
    {
        return FilterHas(PairFilterBit(p[0], p[1])) || (p + 2 < end && FilterHas(TripleFilterBit(p[0], p[1], p[2])));
    }

    std::span<const std::uint32_t> m_unitClass;
    std::span<const std::uint64_t> m_startFilter;
    std::span<const std::uint32_t> m_supplementaryInKeys; // in order
    StringPool m_pool;
    PhraseTrie m_segmentation;
    std::vector<PhraseTrie> m_steps;
    bool m_asciiCopies = false; // every ASCII unit has the class of a unit copied as it is
};

} // namespace veltran
