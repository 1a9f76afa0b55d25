#pragma once

#include "ChineseMapper.h"

#include <string>
#include <string_view>

namespace veltran {

/// The four mapping chains, compiled at build time from OpenCC's dictionaries into the tables file
/// (MappingTablesFile) and set up on first use; a missing or damaged file throws std::runtime_error
/// with LoadMappingTables' sentence. Each maps
/// everything its dictionaries do not hold to itself, including NUL, unpaired surrogates and
/// characters outside the Basic Multilingual Plane.

/// Simplified to Taiwan-standard Traditional forms (OpenCC's s2tw chain).
const ChineseMapper& TraditionalChain();

/// Simplified to OpenCC's standard Traditional forms (OpenCC's s2t chain).
const ChineseMapper& StandardTraditionalChain();

/// Traditional to Simplified forms (OpenCC's t2s chain, with the outputs of its phrases kept as they
/// are: KeepPhraseOutputs), run again over its output until that settles. Simplified text comes out as
/// it went in, so text of any source can pass through it, and mapping the output again changes nothing.
const ChineseMapper& SimplifiedChain();

/// Taiwan-standard Traditional to Simplified forms (OpenCC's tw2s chain), which also knows Taiwan's
/// variants (看著 becomes 看着), except that the characters of kKeptByTaiwanChain stay as they are.
/// For text read from BIG5.
const ChineseMapper& TaiwanSimplifiedChain();

/// TraditionalChain's mapping of the text.
std::u16string ToTraditional(std::u16string_view text);

/// SimplifiedChain's mapping of the text.
std::u16string ToSimplified(std::u16string_view text);

/// TaiwanSimplifiedChain's mapping of the text.
std::u16string TaiwanToSimplified(std::u16string_view text);

/// True when no phrase or character of any chain's dictionaries holds the unit, so that it maps to
/// itself and no phrase reaches across it: text cut just before it maps, through any chain and
/// through several one after the other, to the same as its pieces mapped one by one. ASCII
/// characters are such units.
bool IsMappingBoundary(char16_t unit);

} // namespace veltran
