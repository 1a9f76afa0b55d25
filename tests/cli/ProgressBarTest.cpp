#include "ProgressBar.h"

#include <gtest/gtest.h>

#include <sstream>

namespace veltran {
namespace {

struct LineCase
{
    const char* name;
    std::size_t done;
    std::size_t total;
    std::string path;
    int columns;
    std::string expected;
};

class ProgressLineTest : public ::testing::TestWithParam<LineCase>
{
};

TEST_P(ProgressLineTest, FitsTheTerminal)
{
    const LineCase& c = GetParam();
    EXPECT_EQ(ProgressBar::Line(c.done, c.total, c.path, c.columns), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ProgressLineTest,
    ::testing::Values(LineCase{"Start", 0, 3, "a.htm", 80, "[....................] 0/3   0% a.htm"},
                      LineCase{"Half", 5, 10, "a.htm", 80, "[##########..........] 5/10  50% a.htm"},
                      LineCase{"EmptyRun", 0, 0, "", 80, "[####################] 0/0 100% "},
                      LineCase{"LongPathLosesItsStart", 1, 2, "/srv/www/site/news/2026.htm", 50,
                               "[##########..........] 1/2  50% .../news/2026.htm"},
                      // Chinese characters take two columns and are never cut in half.
                      LineCase{"WideCharactersStayWhole", 1, 2, "/站点/新闻/文章.htm", 45,
                               "[##########..........] 1/2  50% .../文章.htm"},
                      // Roman numerals and arrows are narrow, a combining accent takes no column.
                      LineCase{"NarrowCharactersTakeOneColumn", 1, 2, "/ⅰⅱⅲ→é/a.htm", 45,
                               "[##########..........] 1/2  50% /ⅰⅱⅲ→é/a.htm"},
                      LineCase{"BytesThatAreNotUtf8", 1, 4, "\xB0\xA1\x1b.htm", 80,
                               "[#####...............] 1/4  25% ???.htm"},
                      LineCase{"NoRoomForThePath", 1, 2, "a.htm", 20, "[##########..........] 1/2  50% "}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ProgressBarTest, RedrawsInPlaceAndClearsOnlyWhatItShowed)
{
    std::ostringstream out;
    ProgressBar bar(out, 80);
    bar.Clear();
    EXPECT_EQ(out.str(), "");
    bar.Show(0, 1, "a");
    bar.Clear();
    bar.Clear();
    EXPECT_EQ(out.str(), "\r[....................] 0/1   0% a\x1b[K\r\x1b[K");
}

} // namespace
} // namespace veltran
