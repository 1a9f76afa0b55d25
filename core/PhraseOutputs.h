#pragma once

#include "ChainDictionaries.h"

namespace veltran {

/// Makes what the chain writes map to itself where OpenCC's dictionaries would change it again. An
/// output of a phrase becomes a phrase of its own: t2s turns 乾清宮 into 乾清宫 but 乾清宫 into 干清宫,
/// so Simplified text that holds it would not come out as it went in. A character written for another
/// (薴 becomes 苧) keeps its own form (t2s alone turns 苧 into 苎). Throws std::runtime_error if what is
/// added keeps calling for more.
void KeepPhraseOutputs(ChainDictionaries& chain);

} // namespace veltran
