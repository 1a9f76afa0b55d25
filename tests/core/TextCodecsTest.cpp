#include "TextCodecs.h"

#include <gtest/gtest.h>

#include <string>

namespace veltran {
namespace {

// Byte literals are written as escaped strings; the helper keeps embedded NULs.
template <std::size_t N> Bytes B(const char (&literal)[N])
{
    return Bytes(literal, literal + N - 1);
}

// ---------------------------------------------------------------------------------------------------------
// Byte-order mark

// A yes-or-no question about some bytes.
struct BytesQuestion
{
    const char* name;
    Bytes bytes;
    bool expected;
};

class HasUtf8BomTest : public ::testing::TestWithParam<BytesQuestion>
{
};

TEST_P(HasUtf8BomTest, RecognisesOnlyTheFullMarkAtTheStart)
{
    EXPECT_EQ(HasUtf8Bom(GetParam().bytes), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(TextCodecs, HasUtf8BomTest,
                         ::testing::Values(BytesQuestion{"TwoBytesOnly", B("\xEF\xBB"), false},
                                           BytesQuestion{"MarkFollowedByLetter", B("\xEF\xBB\xBF\x41"), true},
                                           BytesQuestion{"MarkAlone", B("\xEF\xBB\xBF"), true},
                                           BytesQuestion{"WrongThirdByte", B("\xEF\xBB\xBE"), false},
                                           BytesQuestion{"Empty", B(""), false},
                                           BytesQuestion{"MarkNotAtStart", B("\x41\xEF\xBB\xBF"), false}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------------------------
// Text and bytes that convert into each other in both directions

struct RoundTripCase
{
    const char* name;
    EncodingId encoding;
    std::u16string text;
    Bytes bytes;
};

class CodecRoundTrip : public ::testing::TestWithParam<RoundTripCase>
{
};

TEST_P(CodecRoundTrip, EncodesToTheBytes)
{
    EXPECT_EQ(Encode(GetParam().encoding, GetParam().text), GetParam().bytes);
}

TEST_P(CodecRoundTrip, DecodesToTheText)
{
    const DecodeResult decoded = Decode(GetParam().encoding, GetParam().bytes);
    ASSERT_TRUE(decoded.ok()) << decoded.status().message;
    EXPECT_EQ(*decoded, GetParam().text);
}

using E = EncodingId;

INSTANTIATE_TEST_SUITE_P(
    TextCodecs, CodecRoundTrip,
    ::testing::Values(RoundTripCase{"Utf8Empty", E::Utf8, u"", B("")},
                      RoundTripCase{"Utf8LetterAndHan", E::Utf8, u"A\u4E2D", B("\x41\xE4\xB8\xAD")},
                      RoundTripCase{"Utf8TwoByteForm", E::Utf8, u"\u00E9", B("\xC3\xA9")},
                      RoundTripCase{"Utf8Supplementary", E::Utf8, u"\U0001F600", B("\xF0\x9F\x98\x80")},
                      RoundTripCase{"Utf8HighestScalar", E::Utf8, u"\U0010FFFF", B("\xF4\x8F\xBF\xBF")},
                      RoundTripCase{"Utf8MarkKeptAsCharacter", E::Utf8, u"\uFEFFa", B("\xEF\xBB\xBF\x61")},
                      RoundTripCase{"Utf8NulInMiddle", E::Utf8, std::u16string(u"a\0\u4E2D", 3), B("a\0\xE4\xB8\xAD")},
                      RoundTripCase{"Utf8LongAsciiRunThenHan", E::Utf8, u"<html lang=zh>\u4E2D</html>",
                                    B("<html lang=zh>\xE4\xB8\xAD</html>")},
                      RoundTripCase{"GbEmpty", E::Gb, u"", B("")}, RoundTripCase{"GbLetters", E::Gb, u"abc", B("abc")},
                      RoundTripCase{"GbHan", E::Gb, u"\u4E2D\u6587", B("\xD6\xD0\xCE\xC4")},
                      RoundTripCase{"GbEuroIsSingleByte80", E::Gb, u"\u20AC", B("\x80")},
                      RoundTripCase{"GbByteFFIsPrivateUse", E::Gb, u"\uF8F5", B("\xFF")},
                      RoundTripCase{"GbFirstUserDefinedCell", E::Gb, u"\uE000", B("\xAA\xA1")},
                      RoundTripCase{"GbThirdUserDefinedArea", E::Gb, u"\uE4C6", B("\xA1\x40")},
                      RoundTripCase{"GbNulInMiddle", E::Gb, std::u16string(u"a\0\u4E2D", 3), B("a\0\xD6\xD0")},
                      RoundTripCase{"GbLongAsciiRunThenHan", E::Gb, u"<meta charset=gb2312>\u4E2D",
                                    B("<meta charset=gb2312>\xD6\xD0")},
                      RoundTripCase{"Big5Empty", E::Big5, u"", B("")},
                      RoundTripCase{"Big5Han", E::Big5, u"\u4E2D\u6587", B("\xA4\xA4\xA4\xE5")},
                      RoundTripCase{"Big5IdeographicSpace", E::Big5, u"\u3000", B("\xA1\x40")},
                      RoundTripCase{"Big5Euro", E::Big5, u"\u20AC", B("\xA3\xE1")},
                      RoundTripCase{"Big5Byte80Passes", E::Big5, u"\u0080", B("\x80")},
                      RoundTripCase{"Big5UserDefined8140", E::Big5, u"\uEEB8", B("\x81\x40")},
                      RoundTripCase{"Big5UserDefinedC6A1", E::Big5, u"\uF6B1", B("\xC6\xA1")},
                      RoundTripCase{"Big5NulInMiddle", E::Big5, std::u16string(u"a\0\u4E2D", 3), B("a\0\xA4\xA4")}),
    [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------------------------
// Encoding that loses characters

struct LossyCase
{
    const char* name;
    EncodingId encoding;
    std::u16string text;
    Bytes expected;
};

class LossyEncode : public ::testing::TestWithParam<LossyCase>
{
};

TEST_P(LossyEncode, ReplacesEachMissingCharacterOnce)
{
    EXPECT_EQ(Encode(GetParam().encoding, GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    TextCodecs, LossyEncode,
    ::testing::Values(LossyCase{"GbEmojiIsOneQuestionMark", E::Gb, u"a\U0001F600b", B("a?b")},
                      LossyCase{"Big5EmojiIsOneQuestionMark", E::Big5, u"\U0001F600", B("?")},
                      LossyCase{"Big5HasNoKana", E::Big5, u"\u3042\u30A2", B("??")},
                      LossyCase{"GbLoneHighSurrogate", E::Gb,
                                u"a\xD800"
                                u"b",
                                B("a?b")},
                      LossyCase{"GbLoneHighSurrogateAtEnd", E::Gb, u"\u4E2D\xD800", B("\xD6\xD0?")},
                      LossyCase{"Big5LoneLowSurrogate", E::Big5, u"\xDC00\u4E2D", B("?\xA4\xA4")},
                      // Default-ignorable characters are not silently dropped.
                      LossyCase{"GbSoftHyphen", E::Gb, u"a\u00ADb", B("a?b")},
                      LossyCase{"GbZeroWidthJoiner", E::Gb, u"\u200D", B("?")},
                      LossyCase{"Big5ByteOrderMarkCharacter", E::Big5, u"\uFEFFa", B("?a")},
                      // No best-fit substitutes: a letter the code page lacks is not turned into a look-alike.
                      LossyCase{"Big5CapitalAGraveNotA", E::Big5, u"\u00C0", B("?")},
                      LossyCase{"GbCapitalAGraveNotSmall", E::Gb, u"\u00C0", B("?")},
                      LossyCase{"GbCentSignNotFullWidth", E::Gb, u"\u00A2", B("?")},
                      // Two characters that BIG5 holds twice are written with Windows' preferred pair.
                      LossyCase{"Big5DuplicateHanUsesMainPair", E::Big5, u"\u5341", B("\xA4\x51")},
                      LossyCase{"Utf8LoneHighSurrogate", E::Utf8,
                                u"a\xD800"
                                u"b",
                                B("a\xEF\xBF\xBD"
                                  "b")},
                      LossyCase{"Utf8LoneLowSurrogateAtEnd", E::Utf8, u"\xDC00", B("\xEF\xBF\xBD")},
                      LossyCase{"Utf8ReversedPair", E::Utf8, u"\xDC00\xD800", B("\xEF\xBF\xBD\xEF\xBF\xBD")}),
    [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------------------------
// Strict decoding

struct InvalidCase
{
    const char* name;
    EncodingId encoding;
    Bytes bytes;
    std::size_t offset;
};

class InvalidBytes : public ::testing::TestWithParam<InvalidCase>
{
};

TEST_P(InvalidBytes, FailAtTheFirstBadSequence)
{
    const DecodeResult decoded = Decode(GetParam().encoding, GetParam().bytes);
    EXPECT_FALSE(decoded.ok());
    EXPECT_TRUE(decoded.status().message.ends_with(" at offset " + std::to_string(GetParam().offset)))
        << decoded.status().message;
}

INSTANTIATE_TEST_SUITE_P(TextCodecs, InvalidBytes,
                         ::testing::Values(InvalidCase{"GbTrail7FAfterLetters", E::Gb, B("ab\x81\x7F"), 2},
                                           InvalidCase{"GbLeadBeforeLineFeed", E::Gb, B("a\xD6\n"), 1},
                                           InvalidCase{"GbTruncatedLeadAtEnd", E::Gb, B("ab\xD6"), 2},
                                           InvalidCase{"GbTruncatedAfterLongAscii", E::Gb, B("0123456789\xD6"), 10},
                                           InvalidCase{"GbBadPairAfterHan", E::Gb, B("\xD6\xD0\x81\x7F\xD6\xD0"), 2},
                                           InvalidCase{"Big5TrailOutsideRange", E::Big5, B("\xA4\x80"), 0},
                                           InvalidCase{"Big5UnassignedCellOfRowA3", E::Big5, B("a\xA3\xC0"), 1},
                                           InvalidCase{"Big5UnassignedAfterHan", E::Big5, B("\xA4\xA4\xA3\xFE"), 2},
                                           InvalidCase{"Big5TruncatedLeadAtEnd", E::Big5, B("\xA4\xA4\xA4"), 2},
                                           InvalidCase{"Utf8OverlongNul", E::Utf8, B("\xC0\x80"), 0},
                                           InvalidCase{"Utf8OverlongThreeBytes", E::Utf8, B("\xE0\x80\xAF"), 0},
                                           InvalidCase{"Utf8EncodedSurrogate", E::Utf8, B("\xED\xA0\x80"), 0},
                                           InvalidCase{"Utf8AboveHighestScalar", E::Utf8, B("\xF4\x90\x80\x80"), 0},
                                           InvalidCase{"Utf8TruncatedAtEnd", E::Utf8, B("a\xE4\xB8"), 1},
                                           InvalidCase{"Utf8TruncatedBeforeLetter", E::Utf8,
                                                       B("\xE4\xB8"
                                                         "a"),
                                                       0},
                                           InvalidCase{"Utf8StrayTrailByte", E::Utf8, B("ab\x80"), 2},
                                           InvalidCase{"Utf8ByteFF", E::Utf8, B("\xE4\xB8\xAD\xFF"), 3},
                                           InvalidCase{"Utf8GbBytes", E::Utf8, B("\xD6\xD0"), 0},
                                           InvalidCase{"Utf8AfterLongAscii", E::Utf8, B("abcdefghijkl\xC0\x80"), 12}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------------------------
// Telling UTF-8 from the code pages

class IsNonAsciiUtf8Test : public ::testing::TestWithParam<BytesQuestion>
{
};

TEST_P(IsNonAsciiUtf8Test, NeedsValidUtf8WithAMultiByteSequence)
{
    EXPECT_EQ(IsNonAsciiUtf8(GetParam().bytes), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(TextCodecs, IsNonAsciiUtf8Test,
                         ::testing::Values(BytesQuestion{"Empty", B(""), false},
                                           BytesQuestion{"AsciiOnly", B("<p>hello world</p>"), false},
                                           BytesQuestion{"ChineseUtf8", B("<p>\xE4\xB8\xAD\xE6\x96\x87</p>"), true},
                                           BytesQuestion{"GbBytesOfChinese", B("<p>\xD6\xD0\xCE\xC4</p>"), false},
                                           BytesQuestion{"Big5BytesOfChinese", B("\xA4\xA4\xA4\xE5"), false},
                                           BytesQuestion{"ValidThenTruncated", B("\xE4\xB8\xAD\xE4\xB8"), false},
                                           BytesQuestion{"MarkOnly", B("\xEF\xBB\xBF"), true}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------------------------
// UTF-8 over the whole code space

TEST(Utf8Codec, RoundTripsEveryScalarValue)
{
    std::u16string text;
    std::size_t expectedBytes = 0;
    for (char32_t c = 0; c <= 0x10FFFF; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF)
            continue;
        if (c < 0x10000) {
            text.push_back(static_cast<char16_t>(c));
        } else {
            text.push_back(static_cast<char16_t>(0xD7C0 + (c >> 10)));
            text.push_back(static_cast<char16_t>(0xDC00 | (c & 0x3FF)));
        }
        expectedBytes += c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
    }
    const Bytes bytes = Utf8Encode(text);
    EXPECT_EQ(bytes.size(), expectedBytes);
    EXPECT_TRUE(IsNonAsciiUtf8(bytes));
    const DecodeResult decoded = Utf8Decode(bytes);
    ASSERT_TRUE(decoded.ok()) << decoded.status().message;
    EXPECT_TRUE(*decoded == text);
}

} // namespace
} // namespace veltran
