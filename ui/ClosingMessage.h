#pragma once

#include "BatchRun.h"
#include "MessageBoxService.h"

#include <string>

namespace veltran {

/// The message that ends a run in the window, and whether the log is to be shown after it.
struct ClosingMessage
{
    std::string text;
    std::string caption;
    MessageIcon icon = MessageIcon::Information;
    bool showLog = false;
};

/// A stopped run: "处理被终止。", the log not shown. A run with neither failures nor files that lost
/// characters: "文件处理完成。". Otherwise a warning that counts the failed files and the files that
/// lost characters (written as "?") with their number, then points at the log by `shownLogPath`, or,
/// when the log could not be written, says that its text is shown in a window instead. Files put back
/// from a lone backup add a line that counts them, and make the icon a warning.
ClosingMessage MakeClosingMessage(const RunOutcome& outcome, const std::string& shownLogPath);

} // namespace veltran
