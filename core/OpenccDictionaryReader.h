#pragma once

#include "ChainDictionaries.h"

#include <string>

namespace veltran {

/// Reads the dictionaries of an OpenCC conversion chain through libopencc, each
/// entry with its first candidate.
class OpenccDictionaryReader
{
public:
    /// The chain of a configuration file (a full path). Throws std::runtime_error
    /// when it cannot be loaded or its segmentation is not a longest-match one.
    static ChainDictionaries FromFile(const std::string& configPath);

    /// The chain of a configuration given as JSON text, its dictionary files
    /// found in `directory`.
    static ChainDictionaries FromJson(const std::string& json, const std::string& directory);
};

} // namespace veltran
