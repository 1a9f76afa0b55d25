#include "MainWindowControls.h"

#include "FileListView.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

namespace veltran {

std::array<QWidget*, 18> MainWindowControls::Registered() const
{
    return {lblFiles,   lstFiles,  cmdConvertInfo, lblInfo,        cmdStartConvert, cmdStopConvert,
            cmdAddFile, cmdAddDir, cmdRemoveFile,  cmdRemoveUnsel, cmdRemoveAll,    cmdAbout,
            cmdExit,    chkBackup, chkText,        freFrmCode,     freCode,         Label1};
}

std::array<QWidget*, 18> MainWindowControls::LayoutOrder() const
{
    return {lstFiles,   lblFiles,  cmdConvertInfo, lblInfo,        cmdStartConvert, cmdStopConvert,
            cmdAddFile, cmdAddDir, cmdRemoveFile,  cmdRemoveUnsel, cmdRemoveAll,    cmdAbout,
            cmdExit,    chkBackup, chkText,        freFrmCode,     freCode,         Label1};
}

std::array<QWidget*, 4> MainWindowControls::ListDependent() const
{
    return {cmdStartConvert, cmdRemoveFile, cmdRemoveUnsel, cmdRemoveAll};
}

} // namespace veltran
