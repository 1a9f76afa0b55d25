#include "ShownName.h"

#include <gtest/gtest.h>

namespace veltran {
namespace {

struct ShownCase
{
    const char* name;
    std::string bytes;
    std::string shown;
};

class ShownNameTest : public ::testing::TestWithParam<ShownCase>
{
};

TEST_P(ShownNameTest, KeepsUtf8AndEscapesWhatWouldBreakALine)
{
    EXPECT_EQ(ShownName(GetParam().bytes), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(Names, ShownNameTest,
                         ::testing::Values(ShownCase{"Utf8StaysAsItIs", "site/\xE6\x96\xB0\xE9\x97\xBB/a b\\c.htm",
                                                     "site/\xE6\x96\xB0\xE9\x97\xBB/a b\\c.htm"},
                                           ShownCase{"InvalidByte", "a\xFF.htm", "a\\xFF.htm"},
                                           ShownCase{"GbBytes", "\xD6\xD0\xCE\xC4.htm", "\\xD6\\xD0\\xCE\\xC4.htm"},
                                           ShownCase{"TruncatedSequence", "a\xE4\xB8", "a\\xE4\\xB8"},
                                           ShownCase{"OverlongSlash", "\xC0\xAF", "\\xC0\\xAF"},
                                           ShownCase{"EncodedSurrogate", "\xED\xA0\x80", "\\xED\\xA0\\x80"},
                                           ShownCase{"LineBreaksAndTab", "a\r\nb\tc", "a\\r\\nb\\tc"},
                                           ShownCase{"OtherControls",
                                                     std::string("a\x01\x1B[2J\x7F", 7) + std::string(1, '\0'),
                                                     "a\\x01\\x1B[2J\\x7F\\x00"},
                                           ShownCase{"C1ControlAndLineSeparators", "\xC2\x85|\xE2\x80\xA8|\xE2\x80\xA9",
                                                     "\\u0085|\\u2028|\\u2029"}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace veltran
