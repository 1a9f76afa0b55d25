#include "RuleEditorLogic.h"

namespace veltran {

RuleEditorLogic::RuleEditorLogic(RuleTable& rules, int& lastShown) : m_rules(rules), m_lastShown(lastShown)
{
}

std::optional<RuleFields> RuleEditorLogic::Choose(int number, const RuleFields& shown)
{
    if (number == m_shownNumber)
        return std::nullopt;
    if (m_shownNumber > 0)
        StoreRule(m_shownNumber, shown);
    m_shownNumber = number;
    const ReplaceRule& rule = m_rules.Rule(number);
    return RuleFields{static_cast<int>(rule.kind), rule.oldText, rule.newText};
}

void RuleEditorLogic::Close(int number, const RuleFields& shown)
{
    m_lastShown = number - 1;
    StoreRule(number, shown);
}

bool RuleEditorLogic::OldTextEditable(int action)
{
    return action < 1;
}

void RuleEditorLogic::StoreRule(int number, const RuleFields& fields)
{
    ReplaceRule& rule = m_rules.Rule(number);
    rule.kind = static_cast<RuleKind>(fields.action);
    rule.oldText = fields.oldText;
    rule.newText = fields.newText;
}

} // namespace veltran
