#include "ReadingPlausibility.h"
#include "ChineseTextFixtures.h"
#include "CommonHanCharacters.h"

#include <gtest/gtest.h>

#include <string>

namespace veltran {
namespace {

using namespace fixtures;
using E = EncodingId;
using P = Plausibility;

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
    EXPECT_EQ(tally.odd, expected.odd);
    EXPECT_EQ(tally.neutral, expected.neutral);
}

INSTANTIATE_TEST_SUITE_P(
    Plausibility, TallyCharactersTest,
    ::testing::Values(
        TallyCase{"AsciiIsNotCounted", E::Gb, u"<p>a\tb</p>", {0, 0, 0, 0}},
        TallyCase{"GbReadsSimplifiedAndTraditional", E::Gb, u"\u8FD9\u9019", {2, 0, 0, 0}},
        TallyCase{"Utf8ReadsSimplifiedAndTraditional", E::Utf8, u"\u8FD9\u9019", {2, 0, 0, 0}},
        TallyCase{"Big5FindsSimplifiedRare", E::Big5, u"\u8FD9\u9019", {1, 1, 0, 0}},
        TallyCase{"LevelTwoAndExtensionsAreRare", E::Gb, u"\u4E8D\U00020000\u2F00", {0, 3, 0, 0}},
        TallyCase{"PunctuationAndFullWidthAreNeutral", E::Gb, u"\uFF0C\u3002\u201C\u2026\uFF21\uFF11", {0, 0, 0, 6}},
        TallyCase{"PinyinAndSymbolsAreNeutral", E::Big5, u"\u0101\u00E9\u2103\u2460\u25CB", {0, 0, 0, 5}},
        TallyCase{"KanaGreekBopomofoAreOdd", E::Gb, u"\u3042\u30A2\u03B1\u0436\u3105", {0, 0, 5, 0}},
        TallyCase{"PrivateUseBoxDrawingControlsAreOdd", E::Utf8, u"\uE000\u2500\u0085\u0301", {0, 0, 4, 0}},
        TallyCase{"LoneSurrogateIsOdd", E::Utf8, u"\xD800", {0, 0, 1, 0}}),
    [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------------------------
// The verdict on a tally

struct VerdictCase
{
    const char* name;
    CharacterTally tally;
    Plausibility expected;
};

class JudgeTallyTest : public ::testing::TestWithParam<VerdictCase>
{
};

TEST_P(JudgeTallyTest, NeedsEnoughCharactersAndAClearScore)
{
    EXPECT_EQ(JudgeTally(GetParam().tally), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Plausibility, JudgeTallyTest,
                         ::testing::Values(VerdictCase{"NothingJudged", {0, 0, 0, 50}, P::Undecided},
                                           VerdictCase{"NineCommon", {9, 0, 0, 0}, P::Undecided},
                                           VerdictCase{"TenCommon", {10, 0, 0, 0}, P::Plausible},
                                           VerdictCase{"OneRareNeedsFourMore", {13, 1, 0, 0}, P::Undecided},
                                           VerdictCase{"OneRareAmongFourteen", {14, 1, 0, 0}, P::Plausible},
                                           VerdictCase{"TwoOddAloneAreAHandful", {0, 0, 2, 0}, P::Undecided},
                                           VerdictCase{"MixedEvidence", {8, 2, 0, 0}, P::Undecided},
                                           VerdictCase{"FourRareOfTen", {6, 4, 0, 0}, P::Implausible},
                                           VerdictCase{"ThirdOddOfMany", {200, 0, 100, 0}, P::Implausible}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------------------------
// The three readings of real text

struct ReadingsCase
{
    const char* name;
    Bytes bytes;
    Plausibility gb;
    Plausibility big5;
    Plausibility utf8;
};

class JudgeReadingsTest : public ::testing::TestWithParam<ReadingsCase>
{
};

TEST_P(JudgeReadingsTest, FindsTheRealReading)
{
    const ReadingsJudgement readings = JudgeReadings(GetParam().bytes);
    EXPECT_EQ(readings.Of(E::Gb).verdict, GetParam().gb);
    EXPECT_EQ(readings.Of(E::Big5).verdict, GetParam().big5);
    EXPECT_EQ(readings.Of(E::Utf8).verdict, GetParam().utf8);
}

INSTANTIATE_TEST_SUITE_P(
    Plausibility, JudgeReadingsTest,
    ::testing::Values(ReadingsCase{"Gb", kGbSentence, P::Plausible, P::Implausible, P::Invalid},
                      ReadingsCase{"Big5", kBig5Sentence, P::Implausible, P::Plausible, P::Invalid},
                      ReadingsCase{"Utf8Simplified", kUtf8SimplifiedSentence, P::Invalid, P::Invalid, P::Plausible},
                      ReadingsCase{"Utf8Traditional", kUtf8TraditionalSentence, P::Implausible, P::Invalid,
                                   P::Plausible},
                      ReadingsCase{"GbkTraditional", kGbkTraditionalSentence, P::Plausible, P::Invalid, P::Invalid},
                      ReadingsCase{"GbValidAsUtf8", kGbValidAsUtf8, P::Undecided, P::Undecided, P::Undecided},
                      ReadingsCase{"Ascii", fixtures::B("<p>hello</p>"), P::Undecided, P::Undecided, P::Undecided},
                      ReadingsCase{"Empty", fixtures::B(""), P::Undecided, P::Undecided, P::Undecided}),
    [](const auto& info) { return std::string(info.param.name); });

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
    const Bytes page = LongPage(kGbkTraditionalSentence, 40, kBig5Sentence);
    for (const E encoding : {E::Gb, E::Big5, E::Utf8}) {
        const ReadingJudgement whole = JudgeReading(encoding, page, page.size());
        const ReadingJudgement chunked = JudgeReading(encoding, page, GetParam());
        EXPECT_EQ(chunked.verdict, whole.verdict);
        EXPECT_EQ(chunked.decoding.message, whole.decoding.message);
        EXPECT_EQ(chunked.tally.common, whole.tally.common);
        EXPECT_EQ(chunked.tally.rare, whole.tally.rare);
        EXPECT_EQ(chunked.tally.odd, whole.tally.odd);
    }
}

TEST_P(JudgeInChunks, ReportsTheInvalidOffsetOfTheWholeFile)
{
    // A lead byte before a line feed, far into the file.
    const Bytes page = LongPage(kGbSentence, 40, fixtures::B("\xD6\n"));
    const ReadingJudgement judged = JudgeReading(E::Gb, page, GetParam());
    EXPECT_EQ(judged.verdict, P::Invalid);
    EXPECT_EQ(judged.decoding.code, StatusCode::InvalidBytes);
    EXPECT_EQ(judged.decoding.message, "bytes not valid in GB at offset " + std::to_string(page.size() - 2));
}

INSTANTIATE_TEST_SUITE_P(Plausibility, JudgeInChunks, ::testing::Values(0, 1, 7, 64, 1000));

} // namespace
} // namespace veltran
