#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace veltran {

/// What a rule does. Stored as a 16-bit value; any value other than the three actions does nothing.
enum class RuleKind : std::int16_t
{
    NotMade = -1,     // rule 1 before the built-in charset rule has been made
    Replace = 0,      // replace every occurrence of the old text, ignoring letter case
    InsertAtHead = 1, // put the new text before the text
    AppendAtTail = 2, // put the new text after the text
};

struct ReplaceRule
{
    RuleKind kind = RuleKind::Replace;
    std::u16string oldText;
    std::u16string newText;
};

/// The nine replacement rules, numbered 1 to 9. A fresh table changes nothing: rule 1 is
/// NotMade and rules 2 to 9 are replace rules with empty old texts.
class RuleTable
{
public:
    static constexpr int kRuleCount = 9;

    RuleTable();

    /// Rule by number, 1 to 9; throws std::out_of_range otherwise.
    ReplaceRule& Rule(int number);
    const ReplaceRule& Rule(int number) const;

    /// Runs the rules in order over the text, each on the result of the ones before.
    /// Replace rules with an empty old text and insert or append rules with an empty new text
    /// do nothing. Replacement scans left to right without overlap and never rescans what it inserted.
    void ApplyRules(std::u16string& text) const;

private:
    static std::size_t Index(int number);

    std::array<ReplaceRule, kRuleCount> m_rules;
};

} // namespace veltran
