#include "MessageBoxButtons.h"

#include <algorithm>

namespace veltran {

namespace {

constexpr unsigned kButtonSetMask = 0xF;
constexpr unsigned kDefaultButtonMask = 0xF00;

std::vector<int> ButtonIds(unsigned style)
{
    switch (style & kButtonSetMask) {
    case kMbOkCancel:
        return {kIdOk, kIdCancel};
    case kMbAbortRetryIgnore:
        return {kIdAbort, kIdRetry, kIdIgnore};
    case kMbYesNoCancel:
        return {kIdYes, kIdNo, kIdCancel};
    case kMbYesNo:
        return {kIdYes, kIdNo};
    case kMbRetryCancel:
        return {kIdRetry, kIdCancel};
    default:
        return {kIdOk};
    }
}

bool IsBlank(const QString& label)
{
    return TrimBlanks(label).isEmpty();
}

} // namespace

QString TrimBlanks(const QString& text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first] == u' ')
        ++first;
    while (last > first && text[last - 1] == u' ')
        --last;
    return text.mid(first, last - first);
}

QStringList SplitButtonLabels(const QString& labels)
{
    if (IsBlank(labels))
        return {QString()};
    return labels.split(u',', Qt::KeepEmptyParts, Qt::CaseSensitive);
}

std::vector<PlannedButton> PlanButtons(unsigned style, const QString& labels)
{
    // Each label goes to a fixed group of ids, in this order; a later label overrides an earlier one on
    // the ids they share (Retry, Cancel), which gives the captions of every button set.
    struct LabelTargets
    {
        qsizetype label;
        std::vector<int> ids;
    };
    const LabelTargets targets[] = {
        {0, {kIdYes, kIdOk, kIdAbort, kIdRetry}},
        {1, {kIdNo, kIdRetry, kIdCancel}},
        {2, {kIdCancel, kIdIgnore}},
    };

    std::vector<PlannedButton> buttons;
    for (int id : ButtonIds(style))
        buttons.push_back({id, std::nullopt});

    const QStringList split = SplitButtonLabels(labels);
    for (const LabelTargets& target : targets) {
        if (target.label >= split.size() || IsBlank(split[target.label]))
            continue;
        for (PlannedButton& button : buttons) {
            if (std::find(target.ids.begin(), target.ids.end(), button.id) != target.ids.end())
                button.caption = split[target.label];
        }
    }
    return buttons;
}

int DefaultButtonIndex(unsigned style)
{
    const int index = static_cast<int>((style & kDefaultButtonMask) >> 8);
    return index < static_cast<int>(ButtonIds(style).size()) ? index : 0;
}

int EscapeButtonId(unsigned style)
{
    const std::vector<int> ids = ButtonIds(style);
    if (std::find(ids.begin(), ids.end(), kIdCancel) != ids.end())
        return kIdCancel;
    if (ids.size() == 1)
        return ids.front();
    return 0;
}

QString EffectiveCaption(const QString& caption, const QString& programName)
{
    return IsBlank(caption) ? programName : caption;
}

} // namespace veltran
