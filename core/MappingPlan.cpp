#include "MappingPlan.h"

#include "ChineseMapping.h"

namespace veltran {
namespace {

ChineseForms ImpliedForms(EncodingId source, EncodingId target)
{
    if (target == EncodingId::Big5 || (source == EncodingId::Big5 && target != EncodingId::Gb))
        return ChineseForms::Taiwan;
    return ChineseForms::Simplified;
}

} // namespace

MappingPlan PlanMapping(EncodingId source, EncodingId target, bool applyRules, ChineseForms forms)
{
    source = EncodingFamily(source);
    target = EncodingFamily(target);
    if (forms == ChineseForms::Implied)
        forms = ImpliedForms(source, target);
    MappingPlan plan;
    if (forms == ChineseForms::Keep)
        return plan;
    const bool big5 = source == EncodingId::Big5;
    if (forms == ChineseForms::Taiwan && big5) {
        if (applyRules) {
            plan.toSimplified = &TaiwanSimplifiedChain();
            plan.toTraditional = &TraditionalChain();
            plan.keepsUntouchedText = true;
        }
        return plan;
    }
    plan.toSimplified = big5 ? &TaiwanSimplifiedChain() : &SimplifiedChain();
    if (forms == ChineseForms::Taiwan)
        plan.toTraditional = &TraditionalChain();
    else if (forms == ChineseForms::Traditional)
        plan.toTraditional = &StandardTraditionalChain();
    return plan;
}

} // namespace veltran
