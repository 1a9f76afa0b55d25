#pragma once

#include "ChineseMapper.h"
#include "EncodingId.h"

namespace veltran {

/// The Chinese mappings one conversion makes. Simplified text stays Simplified and Traditional text
/// read from BIG5 and written as Traditional is not mapped at all, unless rules, which are written
/// against Simplified text, need its Simplified form; then only what the rules changed is mapped back.
struct MappingPlan
{
    const ChineseMapper* toSimplified = nullptr;  // before the rules; none when the text keeps its forms
    const ChineseMapper* toTraditional = nullptr; // after the rules, for a Traditional target
    // The text before and after the stretch the rules changed stays as read (see TraditionalAfterRules).
    bool keepsUntouchedText = false;

    bool MapsAnything() const { return toSimplified != nullptr || toTraditional != nullptr; }
};

/// The plan for text read as `source` (the declared source: a byte-order mark does not change it) and
/// written as `target`:
/// - BIG5 to GB: Taiwan text to Simplified;
/// - BIG5 to BIG5 or UTF-8: nothing, or with rules Taiwan text to Simplified and back, keeping the
///   text the rules left alone;
/// - GB or UTF-8 to BIG5: to Simplified (which keeps Simplified text), then to Traditional;
/// - GB or UTF-8 to GB or UTF-8: to Simplified.
MappingPlan PlanMapping(EncodingId source, EncodingId target, bool applyRules);

} // namespace veltran
