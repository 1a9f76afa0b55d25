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

// Resolves the escapes and decodes UTF-8; nullopt with `error` set when either fails.
std::optional<std::u16string> FieldText(std::string_view field, std::string& error)
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
            error = next == '\0' ? "a backslash ends the text (write \\\\ for a backslash)"
                                 : std::string("unknown escape \\") + next + " (use \\t \\n \\r or \\\\)";
            return std::nullopt;
        }
        ++i;
    }
    const auto bytes = reinterpret_cast<const std::uint8_t*>(raw.data());
    DecodeResult decoded = Utf8Decode(ByteView(bytes, raw.size()));
    if (!decoded) {
        error = "the text is not valid UTF-8";
        return std::nullopt;
    }
    return std::move(*decoded);
}

// Fills `rule` from one line's fields; returns an error text, empty on success.
std::string ParseRuleLine(const std::vector<std::string_view>& fields, ReplaceRule& rule)
{
    const std::string_view kind = fields[0];
    const bool isReplace = kind == "replace";
    if (!isReplace && kind != "insert" && kind != "append")
        return "unknown rule kind \"" + std::string(kind) + "\" (use replace, insert or append)";
    const std::size_t expected = isReplace ? 3 : 2;
    if (fields.size() != expected) {
        return isReplace ? "a replace rule needs two TAB-separated texts: replace<TAB>old<TAB>new"
                         : std::string(kind) + " needs one TAB-separated text: " + std::string(kind) + "<TAB>text";
    }
    std::string error;
    const std::optional<std::u16string> first = FieldText(fields[1], error);
    if (!first)
        return error;
    if (first->empty())
        return isReplace ? "the old text of a replace rule is empty" : "the text to " + std::string(kind) + " is empty";
    if (!isReplace) {
        rule.kind = kind == "insert" ? RuleKind::InsertAtHead : RuleKind::AppendAtTail;
        rule.oldText = kInsertPlaceholder;
        rule.newText = *first;
        return {};
    }
    const std::optional<std::u16string> second = FieldText(fields[2], error);
    if (!second)
        return error;
    rule.kind = RuleKind::Replace;
    rule.oldText = *first;
    rule.newText = *second;
    return {};
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
    const auto badLine = [](int lineNumber, const std::string& problem) {
        return Status::Failure(StatusCode::BadInput, "line " + std::to_string(lineNumber) + ": " + problem);
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
            return badLine(lineNumber, "more than " + std::to_string(RuleTable::kRuleCount - firstRule + 1) + " rules");
        ReplaceRule rule;
        if (std::string error = ParseRuleLine(SplitAt(line, '\t'), rule); !error.empty())
            return badLine(lineNumber, error);
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
    if (!file) {
        const bool large = file.status().code == StatusCode::TooLarge;
        return Status::Failure(StatusCode::BadInput,
                               "cannot read " + path.string() + ": " +
                                   (large ? "larger than 1 MB, which no rules file needs" : file.status().message));
    }
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
