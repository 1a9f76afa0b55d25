#pragma once

#include "ChineseMapper.h"
#include "CodePage.h"
#include "MappedCharacters.h"

#include <string>
#include <string_view>

namespace veltran {

/// The Traditional text that `original` becomes when rules, which work on Simplified text, changed its
/// Simplified form `simplified` into `ruled`. Only the stretch from the first to the last unit the
/// rules changed, widened to where no phrase reaches across, is mapped back through `toTraditional`
/// (link targets stay as they are, as LinkTargets finds them); before and after it the original
/// stays as it was read, so the lossy round trip through Simplified forms touches nothing else.
/// `keeps` is what link targets keep, as LinkTargets takes it.
/// Relies on the mapping to Simplified keeping every character in its place (each dictionary value
/// has as many characters as its key); where the counts differ anyway, the whole ruled text is
/// mapped back. Rules that changed nothing give the original. `mapped`, when given, counts what the
/// mapping back changed.
std::u16string TraditionalAfterRules(std::u16string_view original, std::u16string_view simplified,
                                     std::u16string_view ruled, const ChineseMapper& toTraditional,
                                     const CodePage* keeps, MappedCharacters* mapped = nullptr);

} // namespace veltran
