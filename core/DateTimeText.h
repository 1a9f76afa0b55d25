#pragma once

#include <chrono>
#include <string>

namespace veltran {

/// The local date and time in the short form a Chinese desktop shows, "2026/12/9 8:05:03":
/// year/month/day without leading zeros, a space, hours without a leading zero, then minutes
/// and seconds with two digits. UTF-8.
std::string LocalDateTimeText(std::chrono::system_clock::time_point when);

/// LocalDateTimeText of the current moment.
std::string NowText();

/// The local date and time in ISO 8601 with the zone's offset, "2026-12-09T23:55:25+08:00" (UTC is
/// "+00:00"). ASCII.
std::string IsoDateTimeText(std::chrono::system_clock::time_point when);

/// IsoDateTimeText of the current moment.
std::string IsoNowText();

} // namespace veltran
