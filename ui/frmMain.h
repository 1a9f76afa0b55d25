#pragma once

#include "ControlLayoutTable.h"
#include "FileListModel.h"
#include "MainWindowControls.h"
#include "PlatformServices.h"
#include "QtEventPump.h"
#include "TwipScale.h"
#include "WindowFolders.h"
#include "WindowState.h"

#include <QWidget>

namespace veltran {

class RuleTable;

/// The main window: the file list, the run and list commands, the encoding options and the link to
/// the maker's home page. Its controls keep their design proportions when it is resized; it never
/// gets smaller than 8000 x 6400 twips and stays centred while in the normal state.
class frmMain : public QWidget
{
    Q_OBJECT

public:
    /// Builds the window and runs its load steps (layout registration, maximised state). The
    /// services and the rule table must outlive the window.
    frmMain(const PlatformServices& services, RuleTable& rules, const WindowFolders& folders,
            QWidget* parent = nullptr);

    const MainWindowControls& Controls() const { return m_controls; }
    FileListModel& Files() { return m_files; }
    /// The run's event pump, which holds the stop flag that Escape and the stop button set.
    const EventPump& Events() const { return m_events; }
    /// Where runs leave their log.
    const std::filesystem::path& LogPath() const { return m_folders.logPath; }

    /// The window's state as the settings store keeps it.
    WindowState CurrentState() const;

    /// Appends a layout record for the control from its geometry and the inner area at this moment.
    void RegisterLayout(QWidget& control);
    /// Moves and sizes a registered control to its share of the current inner area; a label that
    /// sizes itself keeps its caption's size. Unregistered controls are left alone.
    void ApplyLayout(QWidget& control);

    /// Twips and pixels on the window's screen.
    TwipScale Scale() const;

    void Form_Load();
    void Form_Unload();
    void Form_Resize();
    /// Esc (key code 27) asks a run to stop; other keys are ignored.
    void Form_KeyDown(int keyCode);
    void Form_MouseMove();
    void Label1_MouseMove();
    void Label1_Click();

    void cmdStartConvert_Click();
    void cmdStopConvert_Click();
    void cmdAddFile_Click();
    void cmdAddDir_Click();
    void cmdRemoveFile_Click();
    void cmdRemoveUnsel_Click();
    void cmdRemoveAll_Click();
    void cmdAbout_Click();
    void cmdExit_Click();
    void chkText_Click();
    void lstFiles_DblClick();
    void optGb_Click();
    void optBig5_Click();
    void optUtf8_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    TwipSize InnerSize() const;
    void ConnectHandlers();
    void TieBomToTarget();

    PlatformServices m_services;
    RuleTable& m_rules;
    WindowFolders m_folders;
    FileListModel m_files;
    MainWindowControls m_controls;
    ControlLayoutTable m_layout;
    QtEventPump m_events;
};

} // namespace veltran
