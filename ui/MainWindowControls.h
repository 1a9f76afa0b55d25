#pragma once

#include <array>

class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QWidget;

namespace veltran {

class FileListView;

/// The main window's controls, each by its design name. The windows own them; the pointers stay
/// valid as long as the window.
struct MainWindowControls
{
    QLabel* lblFiles = nullptr;
    FileListView* lstFiles = nullptr;
    QPushButton* cmdStartConvert = nullptr;
    QPushButton* cmdStopConvert = nullptr;
    QPushButton* cmdAddFile = nullptr;
    QPushButton* cmdAddDir = nullptr;
    QPushButton* cmdRemoveFile = nullptr;
    QPushButton* cmdRemoveUnsel = nullptr;
    QPushButton* cmdRemoveAll = nullptr;
    QPushButton* cmdAbout = nullptr;
    QPushButton* cmdExit = nullptr;
    QCheckBox* chkBackup = nullptr;
    QCheckBox* chkText = nullptr;
    QGroupBox* freFrmCode = nullptr;
    QRadioButton* optFrmUTF8 = nullptr;
    QRadioButton* optFrmGb = nullptr;
    QRadioButton* optFrmBig5 = nullptr;
    QGroupBox* freCode = nullptr;
    QRadioButton* optUtf8 = nullptr;
    QRadioButton* optGb = nullptr;
    QRadioButton* optBig5 = nullptr;
    QCheckBox* chkU8BOM = nullptr;
    QFrame* cmdConvertInfo = nullptr;
    QLabel* lblInfo = nullptr;
    QLabel* Label1 = nullptr;
    QFrame* Line1 = nullptr;
    QFrame* Line2 = nullptr;

    /// The controls the proportional layout moves and sizes, in the order they are registered.
    std::array<QWidget*, 18> Registered() const;
    /// The same controls in the order a resize lays them out.
    std::array<QWidget*, 18> LayoutOrder() const;
    /// The four buttons that are enabled exactly while the list holds an entry.
    std::array<QWidget*, 4> ListDependent() const;
};

} // namespace veltran
