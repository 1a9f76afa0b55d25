#pragma once

#include "ChainDictionaries.h"

#include <cstddef>
#include <vector>

namespace veltran {

/// Compiles the dictionaries of a mapping chain into the tables that
/// ChainMatcher reads: one trie per step, the segmentation's phrases with their
/// outputs through all steps worked out, and the class of every BMP unit
/// outside a phrase.
class ChainTablesBuilder
{
public:
    /// The tables as one blob. Throws std::invalid_argument for a chain without
    /// steps, a step with no or too many dictionaries, or an empty key.
    static std::vector<std::byte> Build(const ChainDictionaries& chain);
};

} // namespace veltran
