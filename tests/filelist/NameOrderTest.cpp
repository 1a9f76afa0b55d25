#include "NameOrder.h"
#include "WildcardPattern.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace veltran {
namespace {

namespace fs = std::filesystem;

struct OrderCase
{
    const char* label;
    std::string left;
    std::string right;
    int order; // the sign of the comparison
};

class NameOrderTest : public ::testing::TestWithParam<OrderCase>
{
};

int Sign(int value)
{
    return (value > 0) - (value < 0);
}

TEST_P(NameOrderTest, ComparesAsAFileManagerDoes)
{
    const OrderCase& c = GetParam();
    const std::u32string left = WildcardPattern::UpperCodePoints(c.left);
    const std::u32string right = WildcardPattern::UpperCodePoints(c.right);
    EXPECT_EQ(Sign(CompareNamesNaturally(left, right)), c.order);
    EXPECT_EQ(Sign(CompareNamesNaturally(right, left)), -c.order);
}

const OrderCase kOrders[] = {
    {"NumbersAsNumbers", "page2.htm", "page10.htm", -1},
    {"PaddedNumbersStayInOrder", "page00327.htm", "page00399.htm", -1},
    {"LeadingZerosAreTheSameNumber", "a01.htm", "a1.htm", 0},
    {"ZeroBeforeOne", "a0.htm", "a1.htm", -1},
    {"LongNumberBeyondSixtyFourBits", "x99999999999999999999.htm", "x100000000000000000000.htm", -1},
    {"CaseIgnored", "Index.htm", "index.HTM", 0},
    {"CaseIgnoredBeforeNumbers", "B1.htm", "a2.htm", 1},
    {"PrefixFirst", "page", "page1", -1},
    {"DigitsBeforeLetters", "1a", "a", -1},
    {"ChineseByCodePoint", "\xE4\xB8\x80.htm", "\xE4\xBA\x8C.htm", -1}, // 一 U+4E00 before 二 U+4E8C
    {"TextAfterEqualNumbersDecides", "v2b", "v02a", 1},
};

INSTANTIATE_TEST_SUITE_P(Names, NameOrderTest, ::testing::ValuesIn(kOrders),
                         [](const ::testing::TestParamInfo<OrderCase>& info) { return std::string(info.param.label); });

TEST(SortByNameTest, EqualNamesAreOrderedByTheirBytesWhateverTheyCameIn)
{
    std::vector<fs::path> paths{"/s/b.htm", "/s/a1.htm", "/t/A.htm", "/s/a.htm", "/s/a01.htm", "/s/\xFF.htm"};
    SortByName(paths.begin(), paths.end());
    EXPECT_EQ(paths,
              (std::vector<fs::path>{"/t/A.htm", "/s/a.htm", "/s/a01.htm", "/s/a1.htm", "/s/b.htm", "/s/\xFF.htm"}));
}

} // namespace
} // namespace veltran
