#include "MessageBoxButtons.h"

#include <algorithm>

namespace veltran {

namespace {

using R = MessageResult;

std::vector<MessageResult> ButtonIds(MessageButtons buttons)
{
    switch (buttons) {
    case MessageButtons::OkCancel:
        return {R::Ok, R::Cancel};
    case MessageButtons::AbortRetryIgnore:
        return {R::Abort, R::Retry, R::Ignore};
    case MessageButtons::YesNoCancel:
        return {R::Yes, R::No, R::Cancel};
    case MessageButtons::YesNo:
        return {R::Yes, R::No};
    case MessageButtons::RetryCancel:
        return {R::Retry, R::Cancel};
    case MessageButtons::Ok:
        break;
    }
    return {R::Ok};
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

std::vector<PlannedButton> PlanButtons(MessageButtons set, const QString& labels)
{
    // Each label goes to a fixed group of buttons, in this order; a later label overrides an earlier
    // one on the buttons they share (Retry, Cancel), which gives the captions of every button set.
    struct LabelTargets
    {
        qsizetype label;
        std::vector<MessageResult> ids;
    };
    const LabelTargets targets[] = {
        {0, {R::Yes, R::Ok, R::Abort, R::Retry}},
        {1, {R::No, R::Retry, R::Cancel}},
        {2, {R::Cancel, R::Ignore}},
    };

    std::vector<PlannedButton> buttons;
    for (const MessageResult id : ButtonIds(set))
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

int DefaultButtonIndex(MessageButtons buttons, DefaultButton defaultButton)
{
    const int index = static_cast<int>(defaultButton);
    return index < static_cast<int>(ButtonIds(buttons).size()) ? index : 0;
}

MessageResult EscapeButtonId(MessageButtons buttons)
{
    const std::vector<MessageResult> ids = ButtonIds(buttons);
    if (std::find(ids.begin(), ids.end(), R::Cancel) != ids.end())
        return R::Cancel;
    if (ids.size() == 1)
        return ids.front();
    return R::None;
}

QString EffectiveCaption(const QString& caption, const QString& programName)
{
    return IsBlank(caption) ? programName : caption;
}

} // namespace veltran
