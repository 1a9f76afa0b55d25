#pragma once

#include "ChineseMapper.h"
#include "ConversionOptions.h"
#include "EncodingId.h"

namespace veltran {

/// The Chinese mappings one conversion makes. Simplified text stays Simplified and Traditional text
/// read from BIG5 and written as Taiwan forms is not mapped at all, unless rules, which are written
/// against Simplified text, need its Simplified form; then only what the rules changed is mapped back.
struct MappingPlan
{
    const ChineseMapper* toSimplified = nullptr;  // before the rules; none when the text keeps its forms
    const ChineseMapper* toTraditional = nullptr; // after the rules, for Traditional forms
    // The text before and after the stretch the rules changed stays as read (see TraditionalAfterRules).
    bool keepsUntouchedText = false;

    bool MapsAnything() const { return toSimplified != nullptr || toTraditional != nullptr; }
};

/// The plan for text read as `source` (the declared source: a byte-order mark does not change it) and
/// written as `target` in the given forms. GB 18030 is planned as GB. With ChineseForms::Implied:
/// - BIG5 to GB: Taiwan text to Simplified;
/// - BIG5 to BIG5 or UTF-8: as ChineseForms::Taiwan;
/// - GB or UTF-8 to BIG5: as ChineseForms::Taiwan;
/// - GB or UTF-8 to GB or UTF-8: as ChineseForms::Simplified.
/// Keep maps nothing, rules or not. Simplified maps BIG5 text through the Taiwan chain, other text
/// through the Simplified chain (which keeps Simplified text). Traditional maps to Simplified that way,
/// then to OpenCC's standard Traditional forms. Taiwan maps other text to Simplified, then to Taiwan
/// forms; BIG5 text not at all, or with rules to Simplified and back, keeping the text the rules left
/// alone.
MappingPlan PlanMapping(EncodingId source, EncodingId target, bool applyRules,
                        ChineseForms forms = ChineseForms::Implied);

} // namespace veltran
