// What a conversion does to the characters in each direction: Simplified text stays Simplified,
// Traditional text read from BIG5 and written as Traditional is not mapped, link targets stay as
// written (unless the target lacks a character), and rules on Traditional text change only what they
// change. Each case runs on both roads,
// in pieces and as a whole text (through a rule that changes nothing), and a check counts the
// characters the mapping changed alike on both.

#include "ChineseMapping.h"
#include "FileBytesConversion.h"
#include "TextCodecs.h"

#include <gtest/gtest.h>

#include <string>

namespace veltran {
namespace {

struct MappingCase
{
    const char* name;
    EncodingId source;
    EncodingId target;
    std::u16string text;
    std::u16string expected;
    std::size_t mapped; // characters the mapping changes
};

void PrintTo(const MappingCase& c, std::ostream* os)
{
    *os << c.name;
}

std::u16string Converted(const MappingCase& c, const RuleTable& rules, ConversionNotes* notes = nullptr)
{
    TextOptions options;
    options.source = c.source;
    options.target = c.target;
    options.applyRules = true;
    const Result<ByteBuffer> bytes = ConvertFileBytes(Encode(c.source, c.text), options, rules, {false, true}, notes);
    if (!bytes)
        return u"(failed: " + std::u16string(bytes.status().message.begin(), bytes.status().message.end()) + u")";
    return *Decode(c.target, *bytes);
}

class CharacterMappingTest : public ::testing::TestWithParam<MappingCase>
{
};

TEST_P(CharacterMappingTest, GivesTheReadersText)
{
    const MappingCase& c = GetParam();
    TextOptions options;
    options.source = c.source;
    options.target = c.target;
    ConversionNotes notes;
    const Result<ByteBuffer> pieces =
        ConvertFileBytes(Encode(c.source, c.text), options, RuleTable(), {false, true}, &notes);
    ASSERT_TRUE(pieces.ok()) << pieces.status().message;
    EXPECT_EQ(*Decode(c.target, *pieces), c.expected) << "in pieces";
    EXPECT_EQ(notes.mapped.count, c.mapped) << "in pieces";

    RuleTable inert;
    inert.Rule(2) = {RuleKind::Replace, u"no such text", u"x"};
    ConversionNotes wholeNotes;
    EXPECT_EQ(Converted(c, inert, &wholeNotes), c.expected) << "as a whole text";
    EXPECT_EQ(wholeNotes.mapped.count, c.mapped) << "as a whole text";
}

const std::u16string kLink = u"<a href=\"https://zh.wikipedia.org/wiki/中日韓統一表意文字\">";

INSTANTIATE_TEST_SUITE_P(
    Directions, CharacterMappingTest,
    ::testing::Values(
        MappingCase{"GbToUtf8KeepsSimplified", EncodingId::Gb, EncodingId::Utf8, u"什么 显著 抬头", u"什么 显著 抬头",
                    0},
        MappingCase{"Utf8ToUtf8StillSimplifiesTraditional", EncodingId::Utf8, EncodingId::Utf8,
                    u"什么 显著 抬头 後來的頭髮", u"什么 显著 抬头 后来的头发", 4},
        MappingCase{"GbToBig5", EncodingId::Gb, EncodingId::Big5, u"什么 显著 抬头", u"什麼 顯著 抬頭", 3},
        MappingCase{"Big5ToGbKnowsTaiwan", EncodingId::Big5, EncodingId::Gb, u"什麼 顯著 抬頭 看著 什么",
                    u"什么 显著 抬头 看着 什么", 4},
        MappingCase{"Big5ToUtf8MapsNothing", EncodingId::Big5, EncodingId::Utf8, u"游標 手錶 捲 後 裡 什么 抬頭 著",
                    u"游標 手錶 捲 後 裡 什么 抬頭 著", 0},
        MappingCase{"Big5ToBig5MapsNothing", EncodingId::Big5, EncodingId::Big5, u"游標 手錶 裡", u"游標 手錶 裡", 0},
        MappingCase{"AddressKeepsItsCharacters", EncodingId::Utf8, EncodingId::Utf8, kLink + u"中日韓統一</a>",
                    kLink + u"中日韩统一</a>", 2},
        MappingCase{"LinkedFileKeepsItsName", EncodingId::Big5, EncodingId::Gb,
                    u"<img src='圖片/頭像.png' alt=\"頭像\"><a HREF = \"說明.htm\">說明</a>",
                    u"<img src='圖片/頭像.png' alt=\"头像\"><a HREF = \"說明.htm\">说明</a>", 2},
        MappingCase{"LinkCharacterTheTargetLacksIsMapped", EncodingId::Gb, EncodingId::Big5,
                    u"<a href='https://例子.com/缓存'>缓存</a>", u"<a href='https://例子.com/緩存'>緩存</a>", 2},
        MappingCase{"UnclosedAddressEndsAtTheLine", EncodingId::Utf8, EncodingId::Utf8,
                    u"var u = 'http://例子.com/頭髮\n頭髮';", u"var u = 'http://例子.com/頭髮\n头发';", 2}),
    [](const auto& info) { return std::string(info.param.name); });

// With rules on, Traditional text goes to Simplified forms for them and back; only the stretch they
// changed takes that lossy trip.
TEST(CharacterMappingTest, RulesOnTraditionalTextChangeOnlyWhatTheyChange)
{
    const std::u16string body = u"<meta charset=big5>\r\n<p>游標 手錶 捲 後 裡</p>";
    struct Rule
    {
        const char* name;
        ReplaceRule rule;
        std::u16string expected;
    } const rules[] = {
        {"Replace",
         {RuleKind::Replace, u"charset=big5", u"charset=utf-8"},
         u"<meta charset=utf-8>\r\n<p>游標 手錶 捲 後 裡</p>"},
        {"InsertChinese",
         {RuleKind::InsertAtHead, u"", u"<!-- 这个文件 -->\r\n"},
         ToTraditional(u"<!-- 这个文件 -->\r\n") + body},
        {"AppendChinese", {RuleKind::AppendAtTail, u"", u"头发"}, body + u"頭髮"},
        {"ReplaceChinese", {RuleKind::Replace, u"手表", u"时钟"}, u"<meta charset=big5>\r\n<p>游標 時鐘 捲 後 裡</p>"},
    };
    for (const Rule& r : rules) {
        for (const EncodingId target : {EncodingId::Utf8, EncodingId::Big5}) {
            RuleTable table;
            table.Rule(2) = r.rule;
            EXPECT_EQ(Converted({r.name, EncodingId::Big5, target, body, {}, 0}, table), r.expected)
                << r.name << " to " << EncodingName(target);
        }
    }
}

} // namespace
} // namespace veltran
