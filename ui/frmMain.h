#pragma once

#include "ControlLayoutTable.h"
#include "FileListModel.h"
#include "FolderScan.h"
#include "MainWindowControls.h"
#include "PlatformServices.h"
#include "QtEventPump.h"
#include "TwipScale.h"
#include "WindowFolders.h"
#include "WindowResize.h"
#include "WindowRuleKeeper.h"
#include "WindowRun.h"
#include "WindowState.h"

#include <QWidget>

#include <functional>
#include <vector>

namespace veltran {

class ListMenu;
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
    /// The folder scan's event pump, which holds the stop flag that Escape and the stop button set
    /// outside a run.
    const EventPump& Events() const { return m_events; }
    /// The runs and checks started from the window.
    WindowRun& Run() { return m_run; }
    /// Where runs leave their log.
    const std::filesystem::path& LogPath() const { return m_folders.logPath; }

    /// The window's state as the settings store keeps it.
    WindowState CurrentState() const;

    /// Adds files and folders as the open dialog and the folder scan do: a folder contributes its
    /// matching files under the last filter typed (the default filter before any), found breadth
    /// first; a path that is neither is left out, and named in a warning. Used for dropped paths and the
    /// command line's.
    void AddPaths(const std::vector<std::filesystem::path>& paths);

    /// Shows the file in the text viewer, read as `encoding`, when it is an existing regular file.
    void OpenInNotepad(const std::filesystem::path& path, EncodingId encoding);

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
    /// Esc (key code 27) asks a run or a scan to stop; other keys are ignored.
    /// The key code Form_KeyDown receives for Escape, which stops a run.
    static constexpr int kKeyEscape = 27;
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
    /// Enter (13) with a current entry opens it; every key is passed on to the list as well.
    void lstFiles_KeyPress(int keyCode);
    /// Removes the selected entries, or the unselected ones with `invert`, then focuses the list.
    void RemoveEntries(bool invert);
    /// "检查": a dry run over the selected entries, or over all, whose result opens in the viewer.
    void lstFiles_Check(bool selectedOnly);
    /// "按原编码转换所选文件...": converts the selected entries as the chosen source encoding whatever they
    /// look like, after a confirmation.
    void lstFiles_ConvertAsSource();
    /// The list's context menu: the checks, converting as the source, and the declarations option.
    ListMenu& ListContextMenu() { return *m_listMenu; }
    void optGb_Click();
    void optBig5_Click();
    void optUtf8_Click();

signals:
    /// A run or check has ended and been reported.
    void runFinished();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    TwipSize InnerSize() const;
    void ConnectHandlers();
    void TieBomToTarget();
    /// Runs a folder scan, during which closing the window ends the program.
    void RunBusy(const std::function<void()>& work);

    PlatformServices m_services;
    RuleTable& m_rules;
    WindowFolders m_folders;
    FileListModel m_files;
    MainWindowControls m_controls;
    ControlLayoutTable m_layout;
    WindowResizer m_resizer;
    WindowRuleKeeper m_ruleKeeper;
    QtEventPump m_events;
    FolderScan m_scan;
    WindowRun m_run;
    std::filesystem::path m_lastAddedFrom; // where the open dialog starts next
    int m_ruleEditorIndex = 0;             // the rule the editor showed when it last closed, from 0
    bool m_busy = false;
    ListMenu* m_listMenu = nullptr;
};

} // namespace veltran
