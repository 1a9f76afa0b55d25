#include "MappingPlan.h"

#include "ChineseMapping.h"

namespace veltran {

MappingPlan PlanMapping(EncodingId source, EncodingId target, bool applyRules)
{
    MappingPlan plan;
    if (source != EncodingId::Big5) {
        plan.toSimplified = &SimplifiedChain();
        if (target == EncodingId::Big5)
            plan.toTraditional = &TraditionalChain();
        return plan;
    }
    if (target == EncodingId::Gb) {
        plan.toSimplified = &TaiwanSimplifiedChain();
    } else if (applyRules) {
        plan.toSimplified = &TaiwanSimplifiedChain();
        plan.toTraditional = &TraditionalChain();
        plan.keepsUntouchedText = true;
    }
    return plan;
}

} // namespace veltran
