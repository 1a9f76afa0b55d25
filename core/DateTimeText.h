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

} // namespace veltran
