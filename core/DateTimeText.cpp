#include "DateTimeText.h"

#include <cstdio>
#include <ctime>

namespace veltran {

std::string LocalDateTimeText(std::chrono::system_clock::time_point when)
{
    const std::time_t seconds = std::chrono::system_clock::to_time_t(when);
    std::tm local{};
    localtime_r(&seconds, &local);
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%d/%d/%d %d:%02d:%02d", local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                  local.tm_hour, local.tm_min, local.tm_sec);
    return buffer;
}

std::string NowText()
{
    return LocalDateTimeText(std::chrono::system_clock::now());
}

std::string IsoDateTimeText(std::chrono::system_clock::time_point when)
{
    const std::time_t seconds = std::chrono::system_clock::to_time_t(when);
    std::tm local{};
    localtime_r(&seconds, &local);
    const long offset = local.tm_gmtoff / 60; // minutes east of UTC
    const long hours = (offset < 0 ? -offset : offset) / 60;
    const long minutes = (offset < 0 ? -offset : offset) % 60;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02dT%02d:%02d:%02d%c%02ld:%02ld", local.tm_year + 1900,
                  local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, offset < 0 ? '-' : '+',
                  hours, minutes);
    return buffer;
}

std::string IsoNowText()
{
    return IsoDateTimeText(std::chrono::system_clock::now());
}

} // namespace veltran
