#pragma once

#include "RunJob.h"

#include <string>

namespace veltran {

/// The result of the window's check (a dry run) as the viewer shows it: the direction, one line per
/// entry checked (would be converted, or would fail and why, with the command that converts a file
/// the encoding check refused anyway), the Chinese characters each file's mapping would change, the
/// charset declarations each file would have rewritten (when asked), the characters each file would
/// lose as "?", and the totals. Names that are not
/// UTF-8 are shown escaped.
std::string CheckReportText(const RunRequest& request, const RunOutcome& outcome);

} // namespace veltran
