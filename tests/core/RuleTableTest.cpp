#include "RuleTable.h"
#include "CharsetHeader.h"
#include "ChineseMapping.h"
#include "FileConverter.h"
#include "TextCodecs.h"

#include "TempDir.h"

#include <gtest/gtest.h>

namespace veltran {
namespace {

struct RuleCase
{
    const char* name;
    std::vector<ReplaceRule> rules; // rules 2, 3, ... in order (rule 1 stays NotMade)
    std::u16string input;
    std::u16string expected;
};

class ApplyRules : public ::testing::TestWithParam<RuleCase>
{
};

TEST_P(ApplyRules, RewritesTheText)
{
    const RuleCase& c = GetParam();
    RuleTable table;
    for (std::size_t i = 0; i < c.rules.size(); ++i)
        table.Rule(static_cast<int>(i) + 2) = c.rules[i];
    std::u16string text = c.input;
    table.ApplyRules(text);
    EXPECT_TRUE(text == c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ApplyRules,
    ::testing::Values(
        RuleCase{"FreshTableChangesNothing", {}, u"charset=GB2312", u"charset=GB2312"},
        RuleCase{"ReplaceIgnoresCaseAndInsertsAsTyped",
                 {{RuleKind::Replace, u"gb2312", u"utf-8"}},
                 u"<meta charset=GB2312>",
                 u"<meta charset=utf-8>"},
        RuleCase{"ReplacementIsNotSearchedAgain", {{RuleKind::Replace, u"a", u"aa"}}, u"aba", u"aabaa"},
        RuleCase{"OccurrencesDoNotOverlap", {{RuleKind::Replace, u"aa", u"b"}}, u"aaaaa", u"bba"},
        RuleCase{"EmptyNewTextDeletes", {{RuleKind::Replace, u"<br>", u""}}, u"a<BR>b<br>", u"ab"},
        RuleCase{"EmptyInsertAndAppendDoNothing",
                 {{RuleKind::InsertAtHead, u"", u""}, {RuleKind::AppendAtTail, u"", u""}},
                 u"text",
                 u"text"},
        RuleCase{"InsertAndAppendIgnoreTheOldText",
                 {{RuleKind::InsertAtHead, u"text", u"<"}, {RuleKind::AppendAtTail, u"text", u">"}},
                 u"text",
                 u"<text>"},
        RuleCase{"LaterRulesSeeEarlierResults",
                 {{RuleKind::InsertAtHead, u"", u"X"}, {RuleKind::Replace, u"x", u"Y"}},
                 u"abc",
                 u"Yabc"},
        RuleCase{"UnknownKindDoesNothing", {{static_cast<RuleKind>(7), u"a", u"b"}}, u"a", u"a"},
        RuleCase{"CaseFoldingBeyondAscii", {{RuleKind::Replace, u"ÉTÉ", u"summer"}}, u"un été", u"un summer"},
        // Deseret capital and small letters are a case pair outside the Basic Multilingual Plane.
        RuleCase{"CaseFoldingOutsideTheBmp", {{RuleKind::Replace, u"\U00010428", u"x"}}, u"a\U00010400b", u"axb"},
        // Half of a surrogate pair never matches inside a pair: the pair would be broken.
        RuleCase{"TrailSurrogateDoesNotMatchInsideAPair",
                 {{RuleKind::Replace, std::u16string(1, u'\xDC28'), u"x"}},
                 u"a\U00010428",
                 u"a\U00010428"},
        RuleCase{"LeadSurrogateDoesNotMatchInsideAPair",
                 {{RuleKind::Replace, std::u16string(1, u'\xD801'), u"x"}},
                 u"\U00010428b",
                 u"\U00010428b"},
        RuleCase{"ChineseTextIsMatchedExactly", {{RuleKind::Replace, u"简体", u"繁体"}}, u"简体字", u"繁体字"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RuleTable, NotMadeRuleOneDoesNothingAndNumbersAreChecked)
{
    RuleTable table;
    EXPECT_EQ(table.Rule(1).kind, RuleKind::NotMade);
    table.Rule(1).newText = u"ignored";
    std::u16string text = u"abc";
    table.ApplyRules(text);
    EXPECT_TRUE(text == u"abc");
    EXPECT_THROW(table.Rule(0), std::out_of_range);
    EXPECT_THROW(table.Rule(10), std::out_of_range);
}

TEST(CharsetHeader, DeclaresTheTargetAndNamesTheTool)
{
    const std::u16string gb = CharsetHeaderText(EncodingId::Gb, u"2026/12/9 8:05:03");
    EXPECT_TRUE(
        gb.starts_with(u"<%@ CODEPAGE=936 %>\r\n<%Response.Charset=\"GB2312\"%>\r\n\r\n<!-- (注释)此文件由 禾渡 "));
    EXPECT_TRUE(gb.ends_with(
        u"  GB/BIG5/UTF-8 文件编码批量互转换工具 V1.0 生成于 2026/12/9 8:05:03，veltran.example.org -->\r\n"));
    EXPECT_TRUE(CharsetHeaderText(EncodingId::Big5, u"t")
                    .starts_with(u"<%@ CODEPAGE=950 %>\r\n<%Response.Charset=\"BIG5\"%>\r\n"));
    EXPECT_TRUE(CharsetHeaderText(EncodingId::Utf8, u"t")
                    .starts_with(u"<%@ CODEPAGE=65001 %>\r\n<%Response.Charset=\"UTF-8\"%>\r\n"));
}

TEST(CharsetHeader, RuleIsMadeOnceFromTheFirstTarget)
{
    RuleTable table;
    EXPECT_TRUE(MakeCharsetRule(table, EncodingId::Big5, u"t"));
    EXPECT_EQ(table.Rule(1).kind, RuleKind::InsertAtHead);
    EXPECT_TRUE(table.Rule(1).oldText == kInsertPlaceholder);
    EXPECT_FALSE(MakeCharsetRule(table, EncodingId::Utf8, u"t"));
    EXPECT_TRUE(table.Rule(1).newText.starts_with(u"<%@ CODEPAGE=950 %>\r\n"));
}

// Converts a file holding "<html>" from GB with the charset rule made for the target.
std::string ConvertWithCharsetRule(EncodingId target, bool writeBom, RuleTable& table)
{
    test::TempDir dir;
    const auto file = dir / "index.asp";
    test::WriteFile(file, "<html>");
    MakeCharsetRule(table, target, u"t");
    ConvertOptions options;
    options.text.source = EncodingId::Gb;
    options.text.target = target;
    options.text.applyRules = true;
    options.text.writeBom = writeBom;
    EXPECT_TRUE(ConvertFile(file, options, table));
    const auto bytes = test::ReadFile(file);
    return std::string(bytes.begin(), bytes.end());
}

TEST(CharsetHeader, ConvertedFileBeginsWithTheHeaderAfterTheBom)
{
    RuleTable table;
    const std::string text = ConvertWithCharsetRule(EncodingId::Utf8, true, table);
    EXPECT_TRUE(text.starts_with("\xEF\xBB\xBF<%@ CODEPAGE=65001 %>\r\n")) << text;
    EXPECT_TRUE(text.ends_with("-->\r\n<html>")) << text;
}

TEST(CharsetHeader, HeaderTurnsTraditionalForABig5Target)
{
    RuleTable table;
    const std::string text = ConvertWithCharsetRule(EncodingId::Big5, false, table);
    const std::u16string expected = ToTraditional(table.Rule(1).newText + u"<html>");
    EXPECT_FALSE(expected == table.Rule(1).newText + u"<html>") << "the header holds Simplified characters";
    const Bytes expectedBytes = Encode(EncodingId::Big5, expected);
    EXPECT_EQ(text, std::string(expectedBytes.begin(), expectedBytes.end()));
}

} // namespace
} // namespace veltran
