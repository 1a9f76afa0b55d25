#pragma once

#include "ChainMatcher.h"

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace veltran {

/// One direction of the Chinese mapping: a chain run once, or, for a mapping that must give the same
/// when run on its own output, run again over what it wrote until that stays as it is. A phrase that
/// starts inside another phrase's output can match only there (OpenCC's t2s writes 伤亡枕藉 for
/// 傷亡枕藉, whose 藉甚 then becomes 借甚 if the text before it cuts the segments elsewhere).
/// Thread-safe: mapping only reads the tables.
class ChineseMapper
{
public:
    /// Reads tables written by ChainTablesBuilder; they must outlive the mapper. Throws
    /// std::runtime_error when they are damaged.
    ChineseMapper(std::span<const std::byte> tables, bool settles);

    /// Maps the text and appends the result to `out`, which must not hold the text. Units the chain does
    /// not map are kept, including NUL and unpaired surrogates.
    void Append(std::u16string_view text, std::u16string& out) const;

    /// The text mapped as Append does.
    std::u16string Convert(std::u16string_view text) const;

    /// True when the chain leaves the text, and any piece of it, as it is (see ChainMatcher::MapsToItself).
    bool MapsToItself(std::u16string_view text) const { return m_chain.MapsToItself(text); }

    /// True when no key of the chain holds the unit (see ChainMatcher::StandsAlone).
    bool StandsAlone(char16_t unit) const { return m_chain.StandsAlone(unit); }

private:
    // Maps what Append wrote from `start` on again until it stays as it is.
    void Settle(std::u16string& out, std::size_t start) const;

    ChainMatcher m_chain;
    bool m_settles;
};

} // namespace veltran
