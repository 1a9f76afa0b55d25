#include "SourceEncodingCheck.h"
#include "ChineseTextFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <string>

namespace veltran {
namespace {

using namespace fixtures;
using E = EncodingId;

// ---------------------------------------------------------------------------------------------------------
// Refusing a file declared in the wrong encoding

struct RefusalCase
{
    const char* name;
    Bytes bytes;
    EncodingId source;
    EncodingId target;
    const char* reason; // empty: converted
};

class WrongSourceReasonTest : public ::testing::TestWithParam<RefusalCase>
{
};

TEST_P(WrongSourceReasonTest, RefusesOnlyWhenAnotherReadingIsPlausible)
{
    const std::optional<std::string> reason =
        WrongSourceReason(JudgeReadings(GetParam().bytes), GetParam().source, GetParam().target);
    EXPECT_EQ(reason.value_or(""), GetParam().reason);
}

INSTANTIATE_TEST_SUITE_P(
    SourceEncodingCheck, WrongSourceReasonTest,
    ::testing::Values(
        RefusalCase{"GbToBig5FirstRun", kGbSentence, E::Gb, E::Big5, ""},
        RefusalCase{"GbToBig5SecondRun", kBig5Sentence, E::Gb, E::Big5, "looks like BIG5 already"},
        RefusalCase{"Big5ToGbFirstRun", kBig5Sentence, E::Big5, E::Gb, ""},
        RefusalCase{"Big5ToGbSecondRun", kGbSentence, E::Big5, E::Gb, "looks like GB already"},
        RefusalCase{"GbToUtf8SecondRun", kUtf8SimplifiedSentence, E::Gb, E::Utf8, "looks like UTF-8 already"},
        RefusalCase{"Big5ToUtf8SecondRun", kUtf8TraditionalSentence, E::Big5, E::Utf8, "looks like UTF-8 already"},
        RefusalCase{"Utf8ToGbSecondRun", kGbSentence, E::Utf8, E::Gb, "looks like GB already"},
        RefusalCase{"Utf8ToBig5SecondRun", kBig5Sentence, E::Utf8, E::Big5, "looks like BIG5 already"},
        RefusalCase{"Utf8DeclaredGbForBig5", kUtf8SimplifiedSentence, E::Gb, E::Big5, "looks like UTF-8, not GB"},
        RefusalCase{"Big5DeclaredGbForRulesOnly", kBig5Sentence, E::Gb, E::Gb, "looks like BIG5, not GB"},
        RefusalCase{"GbkTraditionalToBig5", kGbkTraditionalSentence, E::Gb, E::Big5, ""},
        RefusalCase{"GbkTraditionalToUtf8", kGbkTraditionalSentence, E::Gb, E::Utf8, ""},
        RefusalCase{"ShortGbValidAsUtf8", kGbValidAsUtf8, E::Gb, E::Utf8, ""},
        RefusalCase{"HandfulOfUtf8IsNotEnough", kUtf8TwoCharacters, E::Gb, E::Big5, ""},
        RefusalCase{"GbThatAlsoReadsAsBig5", kGbAlsoCommonBig5, E::Gb, E::Big5, ""},
        RefusalCase{"InvalidEverywhereIsLeftToDecoding", kInvalidEverywhere, E::Gb, E::Utf8, ""}),
    [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------------------------
// Reading a file as whichever encoding it plausibly is

struct GuessCase
{
    const char* name;
    Bytes bytes;
    std::optional<EncodingId> encoding;
    const char* reasonStart;
};

class GuessSourceEncodingTest : public ::testing::TestWithParam<GuessCase>
{
};

TEST_P(GuessSourceEncodingTest, DecidesOnlyOnEvidence)
{
    const SourceGuess guess = GuessSourceEncoding(GetParam().bytes);
    EXPECT_EQ(guess.encoding, GetParam().encoding);
    EXPECT_EQ(guess.reason.substr(0, std::string(GetParam().reasonStart).size()), GetParam().reasonStart)
        << guess.reason;
}

Bytes Joined(std::initializer_list<Bytes> pieces)
{
    Bytes joined;
    for (const Bytes& piece : pieces) {
        joined.resize(joined.size() + piece.size());
        std::copy(piece.begin(), piece.end(), joined.end() - static_cast<std::ptrdiff_t>(piece.size()));
    }
    return joined;
}

INSTANTIATE_TEST_SUITE_P(
    SourceEncodingCheck, GuessSourceEncodingTest,
    ::testing::Values(
        GuessCase{"Gb", kGbSentence, E::Gb, "plausible only as GB"},
        GuessCase{"Big5", kBig5Sentence, E::Big5, "plausible only as BIG5"},
        GuessCase{"Utf8Simplified", kUtf8SimplifiedSentence, E::Utf8, "plausible only as UTF-8"},
        GuessCase{"Utf8Traditional", kUtf8TraditionalSentence, E::Utf8, "plausible only as UTF-8"},
        GuessCase{"GbkTraditional", kGbkTraditionalSentence, E::Gb, "plausible only as GB"},
        GuessCase{"MarkDecidesOverGbBytes", Joined({B("\xEF\xBB\xBF"), kGbSentence}), E::Utf8, "starts with the UTF-8"},
        GuessCase{"Ascii", B("<p>hello</p>\r\n"), E::Utf8, "ASCII only"},
        GuessCase{"OneUtf8CharacterValidOnlyAsUtf8", kUtf8OneCharacter, E::Utf8,
                  "only UTF-8 is not ruled out (GB invalid, BIG5 invalid, UTF-8 undecided)"},
        GuessCase{"GbValidAsUtf8", kGbValidAsUtf8, std::nullopt, "too few Chinese characters (1)"},
        GuessCase{"ReadsBothWays", kGbAlsoCommonBig5, std::nullopt, "reads as both GB and BIG5"},
        GuessCase{"ClearLeadDecides", Joined({kGbAlsoCommonBig5, kGbAlsoCommonBig5, B("\xD6\xD0\xCE\xC4")}), E::Gb,
                  "reads better as GB than as BIG5"},
        GuessCase{"InvalidEverywhere", kInvalidEverywhere, std::nullopt,
                  "valid in none of GB, BIG5 and UTF-8: bytes not valid in GB at offset 0; bytes not "
                  "valid in BIG5 at offset 0; "
                  "bytes not valid in UTF-8 at offset 0"},
        GuessCase{"KanaOnly",
                  B("\xE3\x81\x82\xE3\x81\x84\xE3\x81\x86\xE3\x81\x88\xE3\x81\x8A"
                    "\xE3\x82\xA2\xE3\x82\xA4\xE3\x82\xA6\xE3\x82\xA8\xE3\x82\xAA"),
                  std::nullopt, "no reading looks like Chinese text (GB "}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GuessSourceEncoding, MarksAsciiOnlyFiles)
{
    EXPECT_TRUE(GuessSourceEncoding(B("plain text")).asciiOnly);
    EXPECT_FALSE(GuessSourceEncoding(kGbSentence).asciiOnly);
}

} // namespace
} // namespace veltran
