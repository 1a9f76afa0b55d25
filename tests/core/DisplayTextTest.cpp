#include "DisplayText.h"

#include <gtest/gtest.h>

namespace veltran {
namespace {

struct DisplayCase
{
    const char* name;
    std::string bytes;
    EncodingId declared;
    std::u16string text;
    EncodingId shownAs;
    std::size_t undecodable;
};

class DecodeForDisplayTest : public ::testing::TestWithParam<DisplayCase>
{
};

TEST_P(DecodeForDisplayTest, ShowsWhatDecodesAndCountsWhatDoesNot)
{
    const DisplayCase& c = GetParam();
    const DisplayText shown =
        DecodeForDisplay(ByteView(reinterpret_cast<const std::uint8_t*>(c.bytes.data()), c.bytes.size()), c.declared);
    EXPECT_TRUE(shown.text == c.text);
    EXPECT_EQ(shown.encoding, c.shownAs);
    EXPECT_EQ(shown.undecodable, c.undecodable);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DecodeForDisplayTest,
    ::testing::Values(DisplayCase{"Gb", "a\xD6\xD0", EncodingId::Gb, u"a中", EncodingId::Gb, 0},
                      DisplayCase{"Big5", "\xA4\xA4", EncodingId::Big5, u"中", EncodingId::Big5, 0},
                      DisplayCase{"BomMakesItUtf8", "\xEF\xBB\xBF\xE4\xB8\xAD", EncodingId::Gb, u"中", EncodingId::Utf8,
                                  0},
                      DisplayCase{"BadBytesEachShownOnce",
                                  "a\x81\x20"
                                  "b\xFF",
                                  EncodingId::Utf8, u"a\uFFFD b\uFFFD", EncodingId::Utf8, 2},
                      DisplayCase{"TruncatedPairAtTheEnd", "ab\xD6", EncodingId::Gb, u"ab\uFFFD", EncodingId::Gb, 1}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace veltran
