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
    // Each BMP unit has a class word: whether a segmentation phrase can start
    // with it, and what becomes of it when it stands outside a phrase.
    static constexpr std::uint32_t kStartsPhrase = 1u << 31;
    static constexpr std::uint32_t kKindShift = 29;
    static constexpr std::uint32_t kKindMask = 3u << kKindShift;
    static constexpr std::uint32_t kPayloadMask = (1u << kKindShift) - 1;
    static constexpr std::uint32_t kCopy = 0u << kKindShift;    // stays as it is
    static constexpr std::uint32_t kSingle = 1u << kKindShift;  // becomes the unit in the payload
    static constexpr std::uint32_t kPooled = 2u << kKindShift;  // becomes the pool string in the payload
    static constexpr std::uint32_t kComplex = 3u << kKindShift; // needs the conversion steps in full

    /// Reads tables written by ChainTablesBuilder; they must outlive the matcher.
    /// Throws std::runtime_error when they are damaged.
    explicit ChainMatcher(std::span<const std::byte> tables);

    /// Maps the text. Units that no dictionary maps are returned unchanged,
    /// including NUL and unpaired surrogates, which also end any phrase; empty
    /// text gives empty text.
    std::u16string Convert(std::u16string_view text) const;

    /// Passes one segment through the conversion steps, each step working on the
    /// whole output of the one before, and appends the result to `out`. `scratch`
    /// holds the steps' intermediate text.
    static void ConvertSegment(std::span<const PhraseTrie> steps, const StringPool& pool, std::u16string_view segment,
                               std::u16string& out, std::u16string (&scratch)[2]);

private:
    std::span<const std::uint32_t> m_unitClass;
    StringPool m_pool;
    PhraseTrie m_segmentation;
    std::vector<PhraseTrie> m_steps;
};

} // namespace veltran
