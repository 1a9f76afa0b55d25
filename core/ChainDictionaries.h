#pragma once

#include <string>
#include <vector>

namespace veltran {

/// One dictionary entry: a key and the value that replaces it (the first
/// candidate).
struct DictionaryEntry
{
    std::u16string key;
    std::u16string value;
};

/// A dictionary: entries with distinct, non-empty keys, in any order.
using Dictionary = std::vector<DictionaryEntry>;

/// A conversion step: dictionaries consulted in order; the first one with any
/// key that is a prefix of the text wins with its longest such key.
using DictionaryGroup = std::vector<Dictionary>;

/// Everything a mapping chain is made of: the dictionary that cuts the text
/// into segments by longest match, and the conversion steps applied one after
/// another to every segment.
struct ChainDictionaries
{
    Dictionary segmentation;
    std::vector<DictionaryGroup> steps;
};

} // namespace veltran
