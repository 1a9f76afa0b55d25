#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace veltran {

// Style flags and results, with the values of the Windows message box so that callers can keep them.
inline constexpr unsigned kMbOk = 0x0;
inline constexpr unsigned kMbOkCancel = 0x1;
inline constexpr unsigned kMbAbortRetryIgnore = 0x2;
inline constexpr unsigned kMbYesNoCancel = 0x3;
inline constexpr unsigned kMbYesNo = 0x4;
inline constexpr unsigned kMbRetryCancel = 0x5;
inline constexpr unsigned kMbIconError = 0x10;
inline constexpr unsigned kMbIconQuestion = 0x20;
inline constexpr unsigned kMbIconWarning = 0x30;
inline constexpr unsigned kMbIconInformation = 0x40;
inline constexpr unsigned kMbDefButton2 = 0x100;
inline constexpr unsigned kMbDefButton3 = 0x200;

inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kIdAbort = 3;
inline constexpr int kIdRetry = 4;
inline constexpr int kIdIgnore = 5;
inline constexpr int kIdYes = 6;
inline constexpr int kIdNo = 7;

/// One button of a box: its result id and the program's caption, or none to keep the system's caption.
struct PlannedButton
{
    int id = kIdOk;
    std::optional<QString> caption;

    bool operator==(const PlannedButton&) const = default;
};

/// Splits the labels at every ASCII ",": pieces kept as they are, empty ones included; the full-width
/// "，" does not split. A labels text of spaces only gives one empty label.
QStringList SplitButtonLabels(const QString& labels);

/// The buttons of the style's button set, left to right, each with the label the program puts on it:
/// label 0 on Yes, OK, Abort and Retry; label 1 on No, Retry and Cancel; label 2 on Cancel and Ignore;
/// later labels override earlier ones, blank labels (spaces only) are skipped, labels after the third
/// are ignored. An unknown button set counts as OK only.
std::vector<PlannedButton> PlanButtons(unsigned style, const QString& labels);

/// Position (from 0) of the default button within PlanButtons; the first when the flag names none.
int DefaultButtonIndex(unsigned style);

/// The id that Escape and the close box give: Cancel when the box has one, OK for a lone OK button,
/// 0 when neither closes the box (Yes/No, Abort/Retry/Ignore).
int EscapeButtonId(unsigned style);

/// The caption shown: `caption` itself, or `programName` when the caption is blank.
QString EffectiveCaption(const QString& caption, const QString& programName);

/// `text` without leading and trailing blanks (U+0020 only; tabs and other white space stay).
QString TrimBlanks(const QString& text);

} // namespace veltran
