#include "RunningState.h"

#include "FileListView.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

namespace veltran {

namespace {

void SetListCommandsEnabled(const MainWindowControls& c, bool enabled)
{
    for (QWidget* command : {c.cmdAddFile, c.cmdAddDir, c.cmdRemoveFile, c.cmdRemoveUnsel, c.cmdRemoveAll, c.cmdExit})
        command->setEnabled(enabled);
}

} // namespace

void EnterRunningState(const MainWindowControls& c, const QString& caption)
{
    c.lstFiles->setEnabled(false);
    c.cmdStartConvert->setEnabled(false);
    c.chkBackup->setEnabled(false);
    c.chkText->setEnabled(false);
    c.cmdStopConvert->setEnabled(true);
    SetListCommandsEnabled(c, false);
    ShowInfo(c, caption);
    c.cmdConvertInfo->setVisible(true);
}

void LeaveRunningState(const MainWindowControls& c)
{
    c.lstFiles->setEnabled(true);
    c.cmdStartConvert->setEnabled(true);
    c.chkBackup->setEnabled(true);
    c.chkText->setEnabled(true);
    c.cmdStopConvert->setEnabled(false);
    c.cmdConvertInfo->setVisible(false);
    SetListCommandsEnabled(c, true);
}

void ShowInfo(const MainWindowControls& c, const QString& caption)
{
    c.lblInfo->setText(caption);
    FitInfoPanel(c);
}

void FitInfoPanel(const MainWindowControls& c)
{
    QLabel& label = *c.lblInfo;
    QFrame& panel = *c.cmdConvertInfo;
    label.resize(label.sizeHint());
    // As wide a margin on the right of the text as on its left.
    const int needed = 2 * std::max(label.x(), 0) + label.width();
    const QWidget* window = panel.parentWidget();
    if (needed <= panel.width() || window == nullptr)
        return;
    const int width = std::min(needed, window->width());
    const int left = std::clamp(panel.geometry().center().x() - width / 2, 0, window->width() - width);
    panel.setGeometry(left, panel.y(), width, panel.height());
    if (label.x() + label.width() > width)
        label.move(std::max(0, (width - label.width()) / 2), label.y());
}

void SetListDependentEnabled(const MainWindowControls& c, bool enabled)
{
    for (QWidget* button : c.ListDependent())
        button->setEnabled(enabled);
}

} // namespace veltran
