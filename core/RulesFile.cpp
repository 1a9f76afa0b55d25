#include "RulesFile.h"

#include "CharsetHeader.h"
#include "FileReader.h"
#include "ReplaceFile.h"
#include "TextCodecs.h"
#include "TextSplit.h"

#include <array>
#include <optional>
#include <vector>

namespace veltran {

namespace {

// Resolves the escapes and decodes UTF-8.
Result<std::u16string> FieldText(std::string_view field)
{
    std::string raw;
    raw.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '\\') {
            raw.push_back(field[i]);
            continue;
        }
        const char next = i + 1 < field.size() ? field[i + 1] : '\0';
        switch (next) {
        case 't':
            raw.push_back('\t');
            break;
        case 'n':
            raw.push_back('\n');
            break;
        case 'r':
            raw.push_back('\r');
            break;
        case '\\':
            raw.push_back('\\');
            break;
        default:
            return next == '\0' ? Status::Failure(StatusCode::RulesBackslashAtEnd)
                                : Status::Failure(StatusCode::RulesUnknownEscape, {.name = std::string(1, next)});
        }
        ++i;
    }
    const auto bytes = reinterpret_cast<const std::uint8_t*>(raw.data());
    DecodeResult decoded = Utf8Decode(ByteView(bytes, raw.size()));
    if (!decoded)
        return Status::Failure(StatusCode::RulesNotUtf8);
    return std::move(*decoded);
}

// Fills `rule` from one line's fields; the failure has no line number yet.
Status ParseRuleLine(const std::vector<std::string_view>& fields, ReplaceRule& rule)
{
    const std::string kind(fields[0]);
    const bool isReplace = kind == "replace";
    if (!isReplace && kind != "insert" && kind != "append")
        return Status::Failure(StatusCode::RulesUnknownKind, {.name = kind});
    if (fields.size() != (isReplace ? 3u : 2u))
        return Status::Failure(StatusCode::RulesFieldCount, {.name = kind});
    Result<std::u16string> first = FieldText(fields[1]);
    if (!first)
        return first.status();
    if (first->empty())
        return Status::Failure(StatusCode::RulesEmptyText, {.name = kind});
    if (!isReplace) {
        rule.kind = kind == "insert" ? RuleKind::InsertAtHead : RuleKind::AppendAtTail;
        rule.oldText = kInsertPlaceholder;
        rule.newText = std::move(*first);
        return Status::Success();
    }
    Result<std::u16string> second = FieldText(fields[2]);
    if (!second)
        return second.status();
    rule.kind = RuleKind::Replace;
    rule.oldText = std::move(*first);
    rule.newText = std::move(*second);
    return Status::Success();
}

// The text with the characters a rules line cannot hold as they are written as escapes, in UTF-8.
std::string EscapedField(std::u16string_view text)
{
    std::string field;
    for (const std::uint8_t byte : Utf8Encode(text)) {
        switch (byte) {
        case '\\':
            field += "\\\\";
            break;
        case '\t':
            field += "\\t";
            break;
        case '\n':
            field += "\\n";
            break;
        case '\r':
            field += "\\r";
            break;
        default:
            field += static_cast<char>(byte);
        }
    }
    return field;
}

} // namespace

Result<int> ParseRules(std::string_view text, int firstRule, RuleTable& rules)
{
    const auto badLine = [](int lineNumber, Status problem) {
        problem.context.number = static_cast<std::uint64_t>(lineNumber);
        return Status::Failure(problem.code, std::move(problem.context));
    };
    int ruleCount = 0;
    if (HasUtf8Bom(ByteView(reinterpret_cast<const std::uint8_t*>(text.data()), text.size())))
        text.remove_prefix(kUtf8Bom.size());
    int lineNumber = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        ++lineNumber;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.find_first_not_of(" \t") == std::string_view::npos || line.front() == '#')
            continue;

        const int number = firstRule + ruleCount;
        if (number > RuleTable::kRuleCount)
            return badLine(lineNumber,
                           Status::Failure(StatusCode::RulesTooMany,
                                           {.name = std::to_string(RuleTable::kRuleCount - firstRule + 1)}));
        ReplaceRule rule;
        if (Status parsed = ParseRuleLine(SplitAt(line, '\t'), rule); !parsed)
            return badLine(lineNumber, std::move(parsed));
        rules.Rule(number) = std::move(rule);
        ++ruleCount;
    }
    return ruleCount;
}

Result<int> LoadRulesFile(const std::filesystem::path& path, int firstRule, RuleTable& rules)
{
    ReadLimits limits;
    limits.largest = kMaxRulesFileBytes;
    const Result<FileContent> file = ReadRegularFile(path, limits);
    if (!file)
        return file.status();
    const ByteView bytes = file->bytes;
    return ParseRules(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), firstRule, rules);
}

std::string FormatRules(const RuleTable& rules)
{
    std::string text = "# Veltran replacement rules: replace<TAB>old<TAB>new, insert<TAB>text, append<TAB>text\n";
    for (int number = 1; number <= RuleTable::kRuleCount; ++number) {
        const ReplaceRule& rule = rules.Rule(number);
        switch (rule.kind) {
        case RuleKind::Replace:
            if (!rule.oldText.empty())
                text += "replace\t" + EscapedField(rule.oldText) + "\t" + EscapedField(rule.newText) + "\n";
            break;
        case RuleKind::InsertAtHead:
        case RuleKind::AppendAtTail:
            if (!rule.newText.empty())
                text +=
                    (rule.kind == RuleKind::InsertAtHead ? "insert\t" : "append\t") + EscapedField(rule.newText) + "\n";
            break;
        default:
            break;
        }
    }
    return text;
}

Status SaveRulesFile(const std::filesystem::path& path, const RuleTable& rules)
{
    const std::string text = FormatRules(rules);
    const std::array<ByteView, 1> pieces{ByteView(reinterpret_cast<const std::uint8_t*>(text.data()), text.size())};
    Status saved = ReplaceFile(path, pieces, ReplaceOptions{});
    if (!saved)
        saved.message = path.string() + ": " + saved.message;
    return saved;
}

} // namespace veltran
