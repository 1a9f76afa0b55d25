#pragma once

#include "ControlLayoutTable.h"
#include "PlatformServices.h"
#include "ResizeRule.h"
#include "TwipScale.h"

#include <QPointer>
#include <QWidget>

#include <cstdint>

namespace veltran {

class RuleTable;

/// The main window: the file list, the run and list commands, the encoding options and the link to
/// the maker's home page. Its controls keep their design proportions when it is resized; it never
/// gets smaller than 8000 x 6400 twips and stays centred while in the normal state.
class frmMain : public QWidget
{
    Q_OBJECT

public:
    /// Builds the window and runs its load steps (layout registration, log path, maximised state).
    /// The services and the rule table must outlive the window.
    frmMain(const PlatformServices& services, RuleTable& rules, QWidget* parent = nullptr);

    /// The stop flag of a run: -1 when a stop was asked for, 0 otherwise.
    std::int16_t StopRequested() const { return m_stopRequested; }
    void SetStopRequested(std::int16_t value) { m_stopRequested = value; }

    /// Where runs leave their log, fixed when the window loads.
    const QString& LogPath() const { return m_logPath; }

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
    QWidget& Control(const char* name) const;
    TwipSize InnerSize() const;
    void ConnectHandlers();
    void TieBomToTarget();

    PlatformServices m_services;
    RuleTable& m_rules;
    ControlLayoutTable m_layout;
    QString m_logPath;
    std::int16_t m_stopRequested = 0;
    QPointer<QWidget> m_link;
};

} // namespace veltran
