#include "DateTimeText.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

namespace veltran {
namespace {

// The log and the charset header show times the way a Chinese desktop's short format does:
// no leading zeros in the date or the hour, two digits for minutes and seconds.
TEST(DateTimeText, ShortChineseDesktopForm)
{
    const char* savedZone = std::getenv("TZ");
    const std::string saved = savedZone ? savedZone : "";
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    using namespace std::chrono;
    const auto morning = sys_days{2026y / December / 9} + hours(8) + minutes(5) + seconds(3);
    const auto evening = sys_days{2027y / October / 31} + hours(23) + minutes(59) + seconds(59);
    EXPECT_EQ(LocalDateTimeText(morning), "2026/12/9 8:05:03");
    EXPECT_EQ(LocalDateTimeText(evening), "2027/10/31 23:59:59");
    if (savedZone)
        ::setenv("TZ", saved.c_str(), 1);
    else
        ::unsetenv("TZ");
    ::tzset();
}

} // namespace
} // namespace veltran
