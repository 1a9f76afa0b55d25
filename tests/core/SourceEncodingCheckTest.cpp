#include "SourceEncodingCheck.h"
#include "DetectionFixtures.h"

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
    std::optional<EncodingId> seen; // the reading the file is refused for; none: converted
};

class WrongSourceTest : public ::testing::TestWithParam<RefusalCase>
{
};

TEST_P(WrongSourceTest, RefusesOnlyWhenAnotherReadingIsClearlyBetter)
{
    const std::optional<SourceRefusal> refusal =
        WrongSource(JudgeReadings(GetParam().bytes), GetParam().source, GetParam().target);
    ASSERT_EQ(refusal.has_value(), GetParam().seen.has_value()) << (refusal ? DescribeRefusal(*refusal) : "");
    if (refusal) {
        EXPECT_EQ(refusal->seen, *GetParam().seen);
        EXPECT_EQ(refusal->kind, RefusalKind::ReadsAsAnother);
    }
}

// Files that real sites hold, declared right: each converts, in each encoding.
INSTANTIATE_TEST_SUITE_P(
    FirstRun, WrongSourceTest,
    ::testing::Values(RefusalCase{"GbBoxTable", kGbBoxTable, E::Gb, E::Big5, {}},
                      RefusalCase{"Big5BoxTable", kBig5BoxTable, E::Big5, E::Gb, {}},
                      RefusalCase{"Utf8BoxTable", kUtf8BoxTable, E::Utf8, E::Gb, {}},
                      RefusalCase{"GbTreeListing", kGbTreeListing, E::Gb, E::Utf8, {}},
                      RefusalCase{"Big5TreeListing", kBig5TreeListing, E::Big5, E::Utf8, {}},
                      RefusalCase{"Utf8TreeListing", kUtf8TreeListing, E::Utf8, E::Big5, {}},
                      RefusalCase{"GbGreekLine", kGbGreekLine, E::Gb, E::Big5, {}},
                      RefusalCase{"Big5GreekLine", kBig5GreekLine, E::Big5, E::Gb, {}},
                      RefusalCase{"Utf8GreekLine", kUtf8GreekLine, E::Utf8, E::Gb, {}},
                      RefusalCase{"GbShenmeValidAsUtf8Too", kGbShenme, E::Gb, E::Utf8, {}},
                      // 使 alone: its GB bytes CA B9 are U+02B9 in UTF-8.
                      RefusalCase{"GbOneCharacterValidAsUtf8Too", B("<p>\xCA\xB9</p>"), E::Gb, E::Utf8, {}},
                      // Ж、д 与 б 是俄文字母
                      RefusalCase{
                          "GbCyrillicLine",
                          B("\xA7\xA8\xA1\xA2\xA7\xD5 \xD3\xEB \xA7\xD2 \xCA\xC7\xB6\xED\xCE\xC4\xD7\xD6\xC4\xB8"),
                          E::Gb,
                          E::Utf8,
                          {}},
                      RefusalCase{"GbShortTitle", kGbShortTitle, E::Gb, E::Big5, {}},
                      RefusalCase{"Big5ShortTitle", kBig5ShortTitle, E::Big5, E::Gb, {}},
                      RefusalCase{"Utf8ShortTitle", kUtf8ShortTitle, E::Utf8, E::Gb, {}},
                      RefusalCase{"GbkTraditional", kGbkTraditionalSentence, E::Gb, E::Big5, {}},
                      RefusalCase{"GbAlsoCommonBig5", kGbAlsoCommonBig5, E::Gb, E::Big5, {}},
                      RefusalCase{"InvalidEverywhereIsLeftToDecoding", kInvalidEverywhere, E::Gb, E::Utf8, {}}),
    [](const auto& info) { return std::string(info.param.name); });

// The same files once converted, given again with the old source: each is refused, short ones too.
INSTANTIATE_TEST_SUITE_P(
    SecondRun, WrongSourceTest,
    ::testing::Values(RefusalCase{"GbToBig5BoxTable", kBig5BoxTable, E::Gb, E::Big5, E::Big5},
                      RefusalCase{"Big5ToGbBoxTable", kGbBoxTable, E::Big5, E::Gb, E::Gb},
                      RefusalCase{"GbToUtf8BoxTable", kUtf8BoxTable, E::Gb, E::Utf8, E::Utf8},
                      RefusalCase{"Utf8ToGbTreeListing", kGbTreeListing, E::Utf8, E::Gb, E::Gb},
                      RefusalCase{"Utf8ToBig5TreeListing", kBig5TreeListing, E::Utf8, E::Big5, E::Big5},
                      RefusalCase{"GbToBig5GreekLine", kBig5GreekLine, E::Gb, E::Big5, E::Big5},
                      RefusalCase{"Big5ToGbGreekLine", kGbGreekLine, E::Big5, E::Gb, E::Gb},
                      RefusalCase{"Big5ToGbShortSentence", kGbHelpSentence, E::Big5, E::Gb, E::Gb},
                      RefusalCase{"GbToBig5ShortSentence", kBig5HelpSentence, E::Gb, E::Big5, E::Big5},
                      RefusalCase{"Utf8ToGbShenme", kGbShenme, E::Utf8, E::Gb, E::Gb},
                      RefusalCase{"GbToUtf8Shenme", kUtf8Shenme, E::Gb, E::Utf8, E::Utf8},
                      RefusalCase{"Big5ToUtf8ShortTitle", kUtf8ShortTitle, E::Big5, E::Utf8, E::Utf8},
                      RefusalCase{"Utf8DeclaredGbForBig5", kUtf8SimplifiedSentence, E::Gb, E::Big5, E::Utf8},
                      // 24 rare characters (翳踮涓鲴...), as a list of names may hold: no reading looks like
                      // prose, but bytes that valid as UTF-8 are no accident.
                      RefusalCase{"GbToUtf8RareCharacters",
                                  B("\xE7\xBF\xB3\xE8\xB8\xAE\xE6\xB6\x93\xE9\xB2\xB4\xE6\x82\xB1\xE7\xBE\x9F"
                                    "\xE5\xB2\x88\xE9\x99\xA7\xE8\xAF\xA0\xE7\x8F\xA5\xE4\xBD\x98\xE7\x86\xA8"
                                    "\xE6\xBA\xB7\xE9\xAA\x9D\xE8\xB5\x85\xE4\xBB\xB5\xE8\x92\x87\xE6\xAA\x8E"
                                    "\xE8\x93\xB0\xE6\x9E\xAD\xE9\xA9\xB8\xE8\xBE\x98\xE8\x8D\x9B\xE6\x8B\x8A"),
                                  E::Gb, E::Utf8, E::Utf8}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DescribeRefusal, NamesWhatEachReadingShowedInEachLanguage)
{
    struct Case
    {
        Bytes bytes;
        EncodingId source;
        EncodingId target;
        const char* english;
        const char* chinese;
    };
    for (const Case& c : {
             Case{kBig5Sentence, E::Gb, E::Big5,
                  "looks like BIG5 already: 15 of 15 Chinese characters are common BIG5 characters, read as GB they "
                  "are 2 common and 1 rare Chinese character, 8 symbols and 4 other characters",
                  "看起来已是 BIG5 编码：15 个汉字中有 15 个是 BIG5 常用字，按 GB 读则是 2 个常用字和 1 个生僻字、8 "
                  "个符号、4 个其他字符"},
             Case{kBig5HelpSentence, E::Gb, E::Big5,
                  "looks like BIG5 already: 7 of 7 Chinese characters are common BIG5 characters, read as GB they "
                  "are 2 rare Chinese characters, 2 symbols and 3 other characters",
                  "看起来已是 BIG5 编码：7 个汉字中有 7 个是 BIG5 常用字，按 GB 读则是 2 个生僻字、2 个符号、3 "
                  "个其他字符"},
             Case{kGbHelpSentence, E::Big5, E::Gb,
                  "looks like GB already: 7 of 7 Chinese characters are common GB characters, read as BIG5 they are "
                  "rare",
                  "看起来已是 GB 编码：7 个汉字中有 7 个是 GB 常用字，按 BIG5 读则是生僻字"},
             Case{kUtf8SimplifiedSentence, E::Gb, E::Big5,
                  "looks like UTF-8, not GB: 15 of 15 Chinese characters are common characters, read as GB the bytes "
                  "are not valid",
                  "看起来是 UTF-8 编码，不是 GB：15 个汉字中有 15 个是常用字，按 GB 读则字节无效"},
             Case{kGbBoxTable, E::Big5, E::Gb,
                  "looks like GB already: 10 of 10 Chinese characters are common GB characters, read as BIG5 they are "
                  "79 common and 6 rare Chinese characters, 54 Chinese characters repeat the one before",
                  "看起来已是 GB 编码：10 个汉字中有 10 个是 GB 常用字，按 BIG5 读则是 79 个常用字和 6 "
                  "个生僻字，其中 54 个汉字与前一个相同"},
         }) {
        const std::optional<SourceRefusal> refusal = WrongSource(JudgeReadings(c.bytes), c.source, c.target);
        ASSERT_TRUE(refusal);
        EXPECT_EQ(DescribeRefusal(*refusal), c.english);
        EXPECT_EQ(DescribeRefusal(*refusal, Language::Chinese), c.chinese);
    }
}

// ---------------------------------------------------------------------------------------------------------
// Reading a file as whichever encoding it is

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

TEST_P(GuessSourceEncodingTest, DecidesOnlyOnClearEvidence)
{
    const SourceGuess guess = GuessSourceEncoding(GetParam().bytes);
    EXPECT_EQ(guess.encoding, GetParam().encoding) << guess.reason;
    EXPECT_EQ(guess.reason.substr(0, std::string(GetParam().reasonStart).size()), GetParam().reasonStart)
        << guess.reason;
}

Bytes Joined(std::initializer_list<Bytes> pieces)
{
    Bytes joined;
    for (const Bytes& piece : pieces)
        joined.insert(joined.end(), piece.begin(), piece.end());
    return joined;
}

INSTANTIATE_TEST_SUITE_P(
    SourceEncodingCheck, GuessSourceEncodingTest,
    ::testing::Values(
        GuessCase{"Gb", kGbSentence, E::Gb, "reads as GB: 15 of 15 Chinese characters"},
        GuessCase{"Big5", kBig5Sentence, E::Big5, "reads as BIG5"},
        GuessCase{"Utf8", kUtf8TraditionalSentence, E::Utf8, "reads as UTF-8"},
        GuessCase{"GbkTraditional", kGbkTraditionalSentence, E::Gb, "only GB is valid"},
        GuessCase{"GbBoxTable", kGbBoxTable, E::Gb, "reads as GB"},
        GuessCase{"Big5BoxTable", kBig5BoxTable, E::Big5, "reads as BIG5"},
        GuessCase{"GbTreeListing", kGbTreeListing, E::Gb, "reads as GB"},
        GuessCase{"Big5TreeListing", kBig5TreeListing, E::Big5, "reads as BIG5"},
        GuessCase{"GbGreekLine", kGbGreekLine, E::Gb, "reads as GB"},
        GuessCase{"Big5GreekLine", kBig5GreekLine, E::Big5, "reads as BIG5"},
        GuessCase{"GbShortSentence", kGbHelpSentence, E::Gb, "reads as GB"},
        GuessCase{"Big5ShortSentence", kBig5HelpSentence, E::Big5, "reads as BIG5"},
        GuessCase{"MarkDecidesOverGbBytes", Joined({B("\xEF\xBB\xBF"), kGbSentence}), E::Utf8, "starts with the UTF-8"},
        GuessCase{"Ascii", B("<p>hello</p>\r\n"), E::Utf8, "ASCII only"},
        GuessCase{"OneUtf8CharacterValidOnlyAsUtf8", kUtf8OneCharacter, E::Utf8, "only UTF-8 is valid"},
        GuessCase{"ShortTitleStaysUndecided", kGbShortTitle, std::nullopt,
                  "cannot tell the encoding: too few Chinese characters (2)"},
        GuessCase{"GbValidAsUtf8", kGbValidAsUtf8, std::nullopt, "cannot tell the encoding: too few"},
        GuessCase{"CommonBothWaysYetLikelierAsGb", kGbAlsoCommonBig5, E::Gb, "reads as GB"},
        GuessCase{"InvalidEverywhere", kInvalidEverywhere, std::nullopt,
                  "cannot tell the encoding: valid in none of GB, BIG5 and UTF-8: bytes not valid in GB at offset 0; "
                  "bytes not valid in BIG5 at offset 0; bytes not valid in UTF-8 at offset 0"},
        GuessCase{"PrivateUseOnly", B("\xEE\x80\x80\xEE\x80\x81\xEE\x80\x82\xEE\x80\x83"), std::nullopt,
                  "cannot tell the encoding: no reading looks like Chinese text (GB: not valid"}),
    [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------------------------
// The reading a conversion uses

struct ChoiceCase
{
    const char* name;
    Bytes bytes;
    std::optional<EncodingId> declared;
    EncodingId target;
    bool trust;
    std::optional<EncodingId> reading; // none: refused
    StatusCode refusal;
};

class ChooseSourceReadingTest : public ::testing::TestWithParam<ChoiceCase>
{
};

TEST_P(ChooseSourceReadingTest, ReadsAsDeclaredGuessedOrTrusted)
{
    const ChoiceCase& c = GetParam();
    const Result<SourceReading> chosen = ChooseSourceReading(c.bytes, c.declared, c.target, false, c.trust);
    ASSERT_EQ(chosen.ok(), c.reading.has_value()) << chosen.status().message;
    if (chosen)
        EXPECT_EQ(chosen->encoding, *c.reading);
    else
        EXPECT_EQ(chosen.status().code, c.refusal);
}

INSTANTIATE_TEST_SUITE_P(
    SourceEncodingCheck, ChooseSourceReadingTest,
    ::testing::Values(
        ChoiceCase{"Declared", kGbSentence, E::Gb, E::Big5, false, E::Gb, StatusCode::Ok},
        ChoiceCase{"SecondRun", kBig5Sentence, E::Gb, E::Big5, false, std::nullopt, StatusCode::WrongEncoding},
        ChoiceCase{"Utf8DeclaredGb", kUtf8SimplifiedSentence, E::Gb, E::Big5, false, std::nullopt,
                   StatusCode::AlreadyUtf8},
        ChoiceCase{"TrustedDespiteLooks", kBig5Sentence, E::Gb, E::Big5, true, E::Gb, StatusCode::Ok},
        ChoiceCase{"TrustedUtf8AsGb", kUtf8SimplifiedSentence, E::Gb, E::Utf8, true, E::Gb, StatusCode::Ok},
        ChoiceCase{"MarkDecidesEvenTrusted", Joined({B("\xEF\xBB\xBF"), kGbSentence}), E::Gb, E::Big5, true, E::Utf8,
                   StatusCode::Ok},
        ChoiceCase{"Guessed", kBig5BoxTable, std::nullopt, E::Utf8, false, E::Big5, StatusCode::Ok},
        ChoiceCase{"GuessedTargetAlready", kBig5BoxTable, std::nullopt, E::Big5, false, std::nullopt,
                   StatusCode::WrongEncoding},
        ChoiceCase{"GuessUndecided", kGbShortTitle, std::nullopt, E::Utf8, false, std::nullopt,
                   StatusCode::WrongEncoding}),
    [](const auto& info) { return std::string(info.param.name); });

// Whatever the bytes, a declared source is read or refused exactly as the three whole judgements
// decide: leaving the declared reading unjudged where no other reading could refuse it changes no verdict.
TEST(ChooseSource, DecidesAsTheWholeJudgementsDo)
{
    const std::initializer_list<Bytes> pages{kGbSentence,
                                             kBig5Sentence,
                                             kUtf8SimplifiedSentence,
                                             kUtf8TraditionalSentence,
                                             kGbkTraditionalSentence,
                                             kGbAlsoCommonBig5,
                                             kGbValidAsUtf8,
                                             kUtf8TwoCharacters,
                                             kInvalidEverywhere,
                                             kGbBoxTable,
                                             kBig5BoxTable,
                                             kUtf8BoxTable,
                                             kGbTreeListing,
                                             kBig5TreeListing,
                                             kGbGreekLine,
                                             kBig5GreekLine,
                                             kGbShenme,
                                             kBig5Shenme,
                                             kGbShortTitle,
                                             kBig5ShortTitle,
                                             kGbHelpSentence,
                                             kBig5HelpSentence,
                                             Joined({kGbSentence, kBig5Sentence}),
                                             Joined({kBig5BoxTable, kGbSentence}),
                                             Joined({kGbSentence, kInvalidEverywhere}),
                                             Joined({kUtf8SimplifiedSentence, kInvalidEverywhere}),
                                             Joined({kGbValidAsUtf8, kUtf8SimplifiedSentence}),
                                             Joined({kGbValidAsUtf8, kGbSentence})};
    for (const Bytes& page : pages) {
        for (const E declared : {E::Gb, E::Gb18030, E::Big5, E::Utf8}) {
            const std::optional<SourceRefusal> whole = WrongSource(JudgeReadings(page), declared, E::Big5);
            const SourceChoice chosen = ChooseSource(page, declared, E::Big5, false, false);
            ASSERT_EQ(chosen.refusal.has_value(), whole.has_value()) << EncodingName(declared);
            if (!whole)
                continue;
            EXPECT_EQ(chosen.refusal->seen, whole->seen);
            for (const E reading : {E::Gb, E::Big5, E::Utf8}) {
                EXPECT_EQ(chosen.refusal->readings.Of(reading).valid, whole->readings.Of(reading).valid);
                EXPECT_EQ(chosen.refusal->readings.Of(reading).cost, whole->readings.Of(reading).cost);
            }
        }
    }
}

// The margin that decides, on judged readings made to measure: a lead of kClearMargin bits decides,
// one bit less does not, for the guess and for the refusal of a declared source (an already UTF-8
// file among them) alike.
TEST(ClearMargin, DecidesAtTheMarginAndNotOneBitBelow)
{
    const auto judged = [](EncodingId likelier, EncodingId other, std::int64_t lead) {
        ReadingsJudgement readings;
        for (ReadingJudgement& reading : readings.readings)
            reading.valid = false;
        for (const EncodingId encoding : {likelier, other}) {
            readings.Of(encoding).valid = true;
            readings.Of(encoding).tally.common = 10;
            readings.Of(encoding).cost = 100;
        }
        readings.Of(other).cost += lead;
        return readings;
    };
    for (const auto& [likelier, other] : {std::pair{E::Gb, E::Big5}, std::pair{E::Utf8, E::Gb}}) {
        SCOPED_TRACE(std::string(EncodingName(likelier)) + " over " + std::string(EncodingName(other)));
        EXPECT_EQ(GuessFromReadings(judged(likelier, other, kClearMargin)).encoding, likelier);
        EXPECT_FALSE(GuessFromReadings(judged(likelier, other, kClearMargin - 1)).encoding.has_value());
        const std::optional<SourceRefusal> refused = WrongSource(judged(likelier, other, kClearMargin), other, E::Big5);
        ASSERT_TRUE(refused.has_value());
        EXPECT_EQ(refused->Code(), likelier == E::Utf8 ? StatusCode::AlreadyUtf8 : StatusCode::WrongEncoding);
        EXPECT_FALSE(WrongSource(judged(likelier, other, kClearMargin - 1), other, E::Big5).has_value());
    }
}

// A file already in the target encoding is read as it is when rules are to change it, and refused
// as a second run when they are not.
TEST(ChooseSource, AGuessedFileInTheTargetIsReadOnlyForRules)
{
    const Result<SourceReading> withRules = ChooseSourceReading(kBig5BoxTable, std::nullopt, E::Big5, true);
    ASSERT_TRUE(withRules.ok()) << withRules.status().message;
    EXPECT_EQ(withRules->encoding, E::Big5);
    EXPECT_FALSE(ChooseSourceReading(kBig5BoxTable, std::nullopt, E::Big5, false).ok());
}

TEST(GuessSourceEncoding, MarksAsciiOnlyFiles)
{
    EXPECT_TRUE(GuessSourceEncoding(B("plain text")).asciiOnly);
    EXPECT_FALSE(GuessSourceEncoding(kGbSentence).asciiOnly);
}

} // namespace
} // namespace veltran
