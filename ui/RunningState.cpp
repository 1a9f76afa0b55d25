#include "RunningState.h"

#include "FileListView.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

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
    c.lblInfo->setText(caption);
    c.lblInfo->resize(c.lblInfo->sizeHint());
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

void SetListDependentEnabled(const MainWindowControls& c, bool enabled)
{
    for (QWidget* button : c.ListDependent())
        button->setEnabled(enabled);
}

} // namespace veltran
