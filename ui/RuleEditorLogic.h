#pragma once

#include "RuleTable.h"

#include <optional>
#include <string>

namespace veltran {

/// What the rule editor's controls hold: the action's position in its list (-1 for none), and the
/// two texts.
struct RuleFields
{
    int action = -1;
    std::u16string oldText;
    std::u16string newText;

    bool operator==(const RuleFields&) const = default;
};

/// The rule editor without its window: which rule is shown, and when the controls are written back
/// into the rule table. There is no cancel: the rule shown is stored when another rule is chosen and
/// when the editor closes.
class RuleEditorLogic
{
public:
    /// `lastShown` is the zero-based position of the rule shown when the editor last closed; it lives
    /// as long as the program and is updated at Close. Both must outlive the editor.
    RuleEditorLogic(RuleTable& rules, int& lastShown);

    /// The rule number to choose when the editor opens (1 to 9).
    int FirstRule() const { return m_lastShown + 1; }

    /// A rule number was chosen while the controls hold `shown`. Returns the fields of the chosen
    /// rule to show, after storing `shown` into the rule shown before (none at the first choice);
    /// returns nothing, and stores nothing, when the chosen rule is the one shown.
    std::optional<RuleFields> Choose(int number, const RuleFields& shown);

    /// The editor closes with `number` chosen: its rule takes the fields, and the editor will open on
    /// it next time.
    void Close(int number, const RuleFields& shown);

    /// Writes the fields into rule `number`.
    void StoreRule(int number, const RuleFields& fields);

    /// Whether the old-text box can be typed in for the action; insert and append rules show the
    /// placeholder there instead.
    static bool OldTextEditable(int action);

private:
    RuleTable& m_rules;
    int& m_lastShown;
    int m_shownNumber = 0; // 0 until the first rule is shown
};

} // namespace veltran
