#pragma once

#include "ChainDictionaries.h"

#include <string_view>

namespace veltran {

/// Characters that Simplified text writes as they are, but that OpenCC's Taiwan variant stage
/// rewrites wherever they stand alone, into forms Simplified text does not use: 么 (什么 would come
/// out as 什幺) and 抬 (抬头 as 擡头). Taiwan pages write both for the same words (什么 beside 什麼), so
/// the Taiwan chain keeps them unless a phrase says otherwise. 著 is not among them: Taiwan writes 著
/// for the particle (看著, Simplified 看着), and the phrase dictionaries keep 显著 and 著作.
inline constexpr std::u16string_view kKeptByTaiwanChain = u"么抬";

/// Drops from every dictionary of the chain the entries whose key is one of the characters alone, so
/// that each maps to itself wherever no longer phrase holds it.
void KeepCharacters(ChainDictionaries& chain, std::u16string_view characters);

} // namespace veltran
