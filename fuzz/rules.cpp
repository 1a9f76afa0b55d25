// Fuzzes the rules-file parser, and the rule table with what it parsed. Two kinds of input: any text
// (the result is a rule count within the table, or an error naming its line), and a replace rule
// written from two random texts with their escapes, which must read back as exactly those texts.
#include "FuzzCheck.h"
#include "RulesFile.h"
#include "TextCodecs.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>

using namespace veltran;

namespace {

constexpr std::size_t kMaxGrowth = 1 << 16;

// A text of characters a rules file must escape or treat with care, mixed with arbitrary ones.
std::u16string RandomText(FuzzedDataProvider& input)
{
    static constexpr char32_t kAwkward[] = {U'\t', U'\n', U'\r', U'\\', U'#', U' ', U'\0', U'\uFEFF', U'\u4E2D'};
    std::u16string text;
    const std::size_t length = input.ConsumeIntegralInRange<std::size_t>(0, 12);
    for (std::size_t i = 0; i < length; ++i) {
        char32_t c = input.ConsumeBool() ? kAwkward[input.ConsumeIntegralInRange<std::size_t>(0, 8)]
                                         : input.ConsumeIntegralInRange<char32_t>(1, 0x10FFFF);
        if (c >= 0xD800 && c <= 0xDFFF)
            c = U'?';
        if (c < 0x10000) {
            text.push_back(static_cast<char16_t>(c));
        } else {
            text.push_back(static_cast<char16_t>(0xD7C0 + (c >> 10)));
            text.push_back(static_cast<char16_t>(0xDC00 | (c & 0x3FF)));
        }
    }
    return text;
}

std::string Escaped(const std::u16string& text)
{
    const Bytes utf8 = Utf8Encode(text);
    std::string escaped;
    for (const std::uint8_t byte : utf8) {
        switch (byte) {
        case '\t':
            escaped += "\\t";
            break;
        case '\n':
            escaped += "\\n";
            break;
        case '\r':
            escaped += "\\r";
            break;
        case '\\':
            escaped += "\\\\";
            break;
        default:
            escaped += static_cast<char>(byte);
        }
    }
    return escaped;
}

// Runs the rules over a small text unless they could make it huge (each rule can multiply its length).
void ApplyWhenBounded(const RuleTable& rules)
{
    std::size_t growth = 1;
    for (int number = 1; number <= RuleTable::kRuleCount; ++number) {
        const ReplaceRule& rule = rules.Rule(number);
        growth *= rule.newText.size() + 1;
        if (growth > kMaxGrowth)
            return;
    }
    std::u16string text = u"<meta charset=gb2312>\r\n\u4E2D\u6587 abc #\t\\";
    rules.ApplyRules(text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const int firstRule = input.ConsumeIntegralInRange(1, RuleTable::kRuleCount);
    RuleTable rules;
    if (input.ConsumeBool()) {
        const std::string text = input.ConsumeRemainingBytesAsString();
        const Result<int> result = ParseRules(text, firstRule, rules);
        if (result.ok())
            FUZZ_CHECK(*result >= 0 && *result <= RuleTable::kRuleCount + 1 - firstRule);
        else
            FUZZ_CHECK(result.status().message.rfind("line ", 0) == 0);
        ApplyWhenBounded(rules);
        return 0;
    }

    const std::u16string oldText = RandomText(input);
    const std::u16string newText = RandomText(input);
    const std::string line = "replace\t" + Escaped(oldText) + "\t" + Escaped(newText) + "\r\n";
    const Result<int> result = ParseRules(line, firstRule, rules);
    if (oldText.empty()) {
        FUZZ_CHECK(!result.ok());
        return 0;
    }
    FUZZ_CHECK(result.ok() && *result == 1);
    const ReplaceRule& rule = rules.Rule(firstRule);
    FUZZ_CHECK(rule.kind == RuleKind::Replace && rule.oldText == oldText && rule.newText == newText);
    ApplyWhenBounded(rules);
    return 0;
}
