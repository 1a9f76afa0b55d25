#include "RuleTable.h"

#include <stdexcept>
#include <unicode/uchar.h>
#include <unicode/utf16.h>
#include <vector>

namespace veltran {

namespace {

// Case-folds a whole text code point by code point. Simple folding maps every code point to
// exactly one code point of the same UTF-16 length for all but a handful of characters, so we
// keep a map from folded positions back to original ones instead of assuming equal lengths.
struct FoldedText
{
    std::u16string folded;
    std::vector<std::size_t> originalOffset; // folded index -> original index, plus the end
};

FoldedText Fold(std::u16string_view text)
{
    FoldedText out;
    out.folded.reserve(text.size());
    out.originalOffset.reserve(text.size() + 1);
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t start = i;
        UChar32 c;
        U16_NEXT(text.data(), i, text.size(), c);
        const UChar32 f = u_foldCase(c, U_FOLD_CASE_DEFAULT);
        if (U_IS_BMP(f)) {
            out.folded.push_back(static_cast<char16_t>(f));
            out.originalOffset.push_back(start);
        } else {
            out.folded.push_back(U16_LEAD(f));
            out.folded.push_back(U16_TRAIL(f));
            out.originalOffset.push_back(start);
            out.originalOffset.push_back(start);
        }
    }
    out.originalOffset.push_back(text.size());
    return out;
}

// Replaces every occurrence of `from` by `to`, comparing with simple Unicode case folding.
std::u16string ReplaceIgnoringCase(std::u16string_view text, std::u16string_view from, std::u16string_view to)
{
    if (from.empty())
        return std::u16string(text);
    const FoldedText hay = Fold(text);
    const std::u16string needle = Fold(from).folded;

    std::u16string result;
    result.reserve(text.size());
    std::size_t copiedUpTo = 0; // original index
    std::size_t pos = 0;        // folded index
    while ((pos = hay.folded.find(needle, pos)) != std::u16string::npos) {
        const std::size_t end = pos + needle.size();
        const std::size_t matchStart = hay.originalOffset[pos];
        const std::size_t matchEnd = hay.originalOffset[end];
        // A match that starts or ends inside a surrogate pair is not a match of whole characters:
        // both halves of a pair map back to the same original offset.
        if ((pos > 0 && hay.originalOffset[pos - 1] == matchStart) || hay.originalOffset[end - 1] == matchEnd) {
            ++pos;
            continue;
        }
        result.append(text.substr(copiedUpTo, matchStart - copiedUpTo));
        result.append(to);
        copiedUpTo = matchEnd;
        pos += needle.size();
    }
    result.append(text.substr(copiedUpTo));
    return result;
}

} // namespace

RuleTable::RuleTable()
{
    m_rules[0].kind = RuleKind::NotMade;
}

std::size_t RuleTable::Index(int number)
{
    if (number < 1 || number > kRuleCount)
        throw std::out_of_range("rule number must be 1 to 9");
    return static_cast<std::size_t>(number - 1);
}

ReplaceRule& RuleTable::Rule(int number)
{
    return m_rules[Index(number)];
}

const ReplaceRule& RuleTable::Rule(int number) const
{
    return m_rules[Index(number)];
}

void RuleTable::ApplyRules(std::u16string& text) const
{
    for (const ReplaceRule& rule : m_rules) {
        switch (rule.kind) {
        case RuleKind::Replace:
            if (!rule.oldText.empty())
                text = ReplaceIgnoringCase(text, rule.oldText, rule.newText);
            break;
        case RuleKind::InsertAtHead:
            if (!rule.newText.empty())
                text.insert(0, rule.newText);
            break;
        case RuleKind::AppendAtTail:
            text.append(rule.newText);
            break;
        default:
            break;
        }
    }
}

} // namespace veltran
