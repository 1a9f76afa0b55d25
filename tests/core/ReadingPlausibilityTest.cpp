#include "ReadingPlausibility.h"
#include "CommonHanCharacters.h"
#include "DetectionFixtures.h"

#include <gtest/gtest.h>

#include <string>

namespace veltran {
namespace {

using namespace fixtures;
using E = EncodingId;

// ---------------------------------------------------------------------------------------------------------
// The common sets, as read from the code pages

TEST(CommonHanCharacters, HoldTheFullLevelOneAndCommonBlocks)
{
    const CommonHanCharacters& sets = CommonHanCharacters::Get();
    EXPECT_EQ(sets.GbLevel1Count(), 3755u);
    EXPECT_EQ(sets.Big5CommonCount(), 5401u);
}

struct MembershipCase
{
    const char* name;
    char32_t character;
    bool gbLevel1;
    bool big5Common;
};

class CommonHanMembership : public ::testing::TestWithParam<MembershipCase>
{
};

TEST_P(CommonHanMembership, FollowsTheCodePageBlocks)
{
    const CommonHanCharacters& sets = CommonHanCharacters::Get();
    EXPECT_EQ(sets.InGbLevel1(GetParam().character), GetParam().gbLevel1);
    EXPECT_EQ(sets.InBig5Common(GetParam().character), GetParam().big5Common);
}

INSTANTIATE_TEST_SUITE_P(
    Plausibility, CommonHanMembership,
    ::testing::Values(MembershipCase{"FirstOfGbLevelOne", U'\u554A', true, true},   // GB B0A1, BIG5 B0DA
                      MembershipCase{"LastOfGbLevelOne", U'\u5EA7', true, true},    // GB D7F9, BIG5 AE79
                      MembershipCase{"FirstOfGbLevelTwo", U'\u4E8D', false, false}, // GB D8A1, BIG5 C948
                      MembershipCase{"FirstOfBig5Common", U'\u4E00', true, true},   // BIG5 A440
                      MembershipCase{"LastOfBig5Common", U'\u7C72', false, true},   // BIG5 C67E
                      MembershipCase{"FirstOfBig5LevelTwo", U'\u4E42', false, false},
                      MembershipCase{"SimplifiedOnly", U'\u8FD9', true, false},
                      MembershipCase{"TraditionalOnly", U'\u9019', false, true},
                      MembershipCase{"HiraganaOfGbRowA4", U'\u3042', false, false},
                      MembershipCase{"BeyondTheBasicPlane", U'\U00020000', false, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CommonHanCharacters, SymbolRowsHoldWhatGbAndBig5PutBeforeTheirChineseCharacters)
{
    const CommonHanCharacters& sets = CommonHanCharacters::Get();
    for (const char32_t held : {U'\u3001', U'\u2500', U'\u2514', U'\u3042', U'\u30A2', U'\u03B1', U'\u0436', U'\uFF21'})
        EXPECT_TRUE(sets.InSymbolRows(held)) << static_cast<unsigned>(held);
    for (const char32_t other : {U'\u554A', U'\u00F1', U'\u02B2', U'\uE000', U'\u05D0'})
        EXPECT_FALSE(sets.InSymbolRows(other)) << static_cast<unsigned>(other);
}

// ---------------------------------------------------------------------------------------------------------
// Sorting characters

struct TallyCase
{
    const char* name;
    EncodingId reading;
    std::u16string text;
    CharacterTally expected;
};

class TallyCharactersTest : public ::testing::TestWithParam<TallyCase>
{
};

TEST_P(TallyCharactersTest, SortsEachNonAsciiCharacter)
{
    const CharacterTally tally = TallyCharacters(GetParam().reading, GetParam().text);
    const CharacterTally& expected = GetParam().expected;
    EXPECT_EQ(tally.common, expected.common);
    EXPECT_EQ(tally.rare, expected.rare);
    EXPECT_EQ(tally.symbols, expected.symbols);
    EXPECT_EQ(tally.foreign, expected.foreign);
}

INSTANTIATE_TEST_SUITE_P(
    Plausibility, TallyCharactersTest,
    ::testing::Values(
        TallyCase{"AsciiIsNotCounted", E::Gb, u"<p>a\tb</p>", {0, 0, 0, 0}},
        TallyCase{"GbKeepsToLevelOne", E::Gb, u"\u8FD9\u9019", {1, 1, 0, 0}},
        TallyCase{"Utf8ReadsSimplifiedAndTraditional", E::Utf8, u"\u8FD9\u9019", {2, 0, 0, 0}},
        TallyCase{"Big5FindsSimplifiedRare", E::Big5, u"\u8FD9\u9019", {1, 1, 0, 0}},
        TallyCase{"LevelTwoAndExtensionsAreRare", E::Gb, u"\u4E8D\U00020000\u2F00", {0, 3, 0, 0}},
        TallyCase{"CodePageSymbolRows", E::Gb, u"\uFF0C\u3002\u2500\u3042\u03B1\u0436\uFF21", {0, 0, 7, 0}},
        TallyCase{"ForeignLettersPrivateUseControls", E::Utf8, u"\u00F1\u02B2\uE000\u0085\u0301", {0, 0, 0, 5}}),
    [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------------------------
// What real text makes of characters

struct CostCase
{
    const char* name;
    std::u16string likelier;
    std::u16string lessLikely;
};

class ReadingScorerCost : public ::testing::TestWithParam<CostCase>
{
};

std::int64_t CostOf(std::u16string_view text)
{
    ReadingScorer scorer(E::Utf8);
    scorer.Add(text);
    return scorer.Cost();
}

TEST_P(ReadingScorerCost, WeighsTextAsRealTextIs)
{
    EXPECT_LT(CostOf(GetParam().likelier), CostOf(GetParam().lessLikely));
}

INSTANTIATE_TEST_SUITE_P(Plausibility, ReadingScorerCost,
                         ::testing::Values(
                             // 使用 is a word; the same characters the other way round are not.
                             CostCase{"FrequentPairs", u"\u4F7F\u7528", u"\u7528\u4F7F"},
                             CostCase{"FrequentOverRareCharacters", u"\u7684\u662F\u5728", u"\u4E8D\u4E42\u4E8C"},
                             CostCase{"BoxLinesRunOn", u"\u2500\u2500\u2500\u2500\u2500\u2500",
                                      u"\u7684\u7684\u7684\u7684\u7684\u7684"},
                             CostCase{"SymbolRowsOverRareCharacters", u"\u03B1\u3042\u0436", u"\u4E8D\u4E42\u4E8C"},
                             CostCase{"PinyinOverOtherScripts", u"\u01CE\u00E8", u"\u05D0\u0531"},
                             CostCase{"OtherScriptsOverPrivateUse", u"\u05D0\u0531", u"\uE000\uE001"}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------------------------
// The three readings of real text

struct ReadingsCase
{
    const char* name;
    Bytes bytes;
    EncodingId likeliest;
};

class JudgeReadingsTest : public ::testing::TestWithParam<ReadingsCase>
{
};

TEST_P(JudgeReadingsTest, FindsTheRealReadingLikeliest)
{
    const ReadingsJudgement readings = JudgeReadings(GetParam().bytes);
    const ReadingJudgement& real = readings.Of(GetParam().likeliest);
    ASSERT_TRUE(real.valid);
    EXPECT_TRUE(real.LooksLikeText());
    for (const E other : {E::Gb, E::Big5, E::Utf8}) {
        if (other != GetParam().likeliest && readings.Of(other).valid) {
            EXPECT_LT(real.cost, readings.Of(other).cost) << EncodingName(other);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Plausibility, JudgeReadingsTest,
                         ::testing::Values(ReadingsCase{"Gb", kGbSentence, E::Gb},
                                           ReadingsCase{"Big5", kBig5Sentence, E::Big5},
                                           ReadingsCase{"Utf8", kUtf8TraditionalSentence, E::Utf8},
                                           ReadingsCase{"GbkTraditional", kGbkTraditionalSentence, E::Gb},
                                           ReadingsCase{"GbBoxTable", kGbBoxTable, E::Gb},
                                           ReadingsCase{"Big5BoxTable", kBig5BoxTable, E::Big5},
                                           ReadingsCase{"GbTreeListing", kGbTreeListing, E::Gb},
                                           ReadingsCase{"Big5TreeListing", kBig5TreeListing, E::Big5},
                                           ReadingsCase{"GbGreekLine", kGbGreekLine, E::Gb},
                                           ReadingsCase{"Big5GreekLine", kBig5GreekLine, E::Big5},
                                           ReadingsCase{"GbShenme", kGbShenme, E::Gb}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(JudgeReading, InvalidAndEmptyBytes)
{
    const ReadingJudgement invalid = JudgeReading(E::Utf8, kGbSentence);
    EXPECT_FALSE(invalid.valid);
    EXPECT_FALSE(invalid.LooksLikeText());
    EXPECT_EQ(invalid.decoding.message, "bytes not valid in UTF-8 at offset 0");
    const ReadingJudgement empty = JudgeReading(E::Gb, fixtures::B(""));
    EXPECT_TRUE(empty.valid && empty.LooksLikeText());
    EXPECT_EQ(empty.cost, 0);
}

// ---------------------------------------------------------------------------------------------------------
// Judging in chunks

Bytes LongPage(const Bytes& body, std::size_t copies, const Bytes& tail)
{
    Bytes page;
    for (std::size_t i = 0; i < copies; ++i) {
        page.insert(page.end(), body.begin(), body.end());
        for (const char c : std::string("<br>\n"))
            page.push_back(static_cast<std::uint8_t>(c));
    }
    page.insert(page.end(), tail.begin(), tail.end());
    return page;
}

class JudgeInChunks : public ::testing::TestWithParam<std::size_t>
{
};

TEST_P(JudgeInChunks, GivesTheSameTallyAsWhole)
{
    // Trail bytes below 0x80 end chunks inside text, where the character before still counts.
    const Bytes page = LongPage(kGbkTraditionalSentence, 40, kBig5TreeListing);
    for (const E encoding : {E::Gb, E::Big5, E::Utf8}) {
        const ReadingJudgement whole = JudgeReading(encoding, page, page.size());
        const ReadingJudgement chunked = JudgeReading(encoding, page, GetParam());
        EXPECT_EQ(chunked.valid, whole.valid);
        EXPECT_EQ(chunked.decoding.message, whole.decoding.message);
        EXPECT_EQ(chunked.cost, whole.cost);
        EXPECT_EQ(chunked.tally.common, whole.tally.common);
        EXPECT_EQ(chunked.tally.rare, whole.tally.rare);
        EXPECT_EQ(chunked.tally.symbols, whole.tally.symbols);
        EXPECT_EQ(chunked.tally.foreign, whole.tally.foreign);
    }
}

TEST_P(JudgeInChunks, ReportsTheInvalidOffsetOfTheWholeFile)
{
    // A lead byte before a line feed, far into the file.
    const Bytes page = LongPage(kGbSentence, 40, fixtures::B("\xD6\n"));
    const ReadingJudgement judged = JudgeReading(E::Gb, page, GetParam());
    EXPECT_FALSE(judged.valid);
    EXPECT_EQ(judged.decoding.code, StatusCode::InvalidBytes);
    EXPECT_EQ(judged.decoding.message, "bytes not valid in GB at offset " + std::to_string(page.size() - 2));
}

INSTANTIATE_TEST_SUITE_P(Plausibility, JudgeInChunks, ::testing::Values(0, 1, 7, 64, 1000));

} // namespace
} // namespace veltran
