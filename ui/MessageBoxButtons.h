#pragma once

#include "MessageBoxService.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace veltran {

/// One button of a box: the result it gives and the program's caption, or none to keep the desktop's.
struct PlannedButton
{
    MessageResult id = MessageResult::Ok;
    std::optional<QString> caption;

    bool operator==(const PlannedButton&) const = default;
};

/// Splits the labels at every ASCII ",": pieces kept as they are, empty ones included; the full-width
/// "，" does not split. A labels text of spaces only gives one empty label.
QStringList SplitButtonLabels(const QString& labels);

/// The buttons of the set, left to right, each with the label the program puts on it: label 0 on Yes,
/// OK, Abort and Retry; label 1 on No, Retry and Cancel; label 2 on Cancel and Ignore; later labels
/// override earlier ones, blank labels (spaces only) are skipped, labels after the third are ignored.
std::vector<PlannedButton> PlanButtons(MessageButtons buttons, const QString& labels);

/// Position (from 0) of the default button within PlanButtons; the first when the set has fewer.
int DefaultButtonIndex(MessageButtons buttons, DefaultButton defaultButton);

/// The result that Escape and the close box give: Cancel when the box has one, OK for a lone OK
/// button, None when neither closes the box (Yes/No, Abort/Retry/Ignore).
MessageResult EscapeButtonId(MessageButtons buttons);

/// The caption shown: `caption` itself, or `programName` when the caption is blank.
QString EffectiveCaption(const QString& caption, const QString& programName);

/// `text` without leading and trailing blanks (U+0020 only; tabs and other white space stay).
QString TrimBlanks(const QString& text);

} // namespace veltran
