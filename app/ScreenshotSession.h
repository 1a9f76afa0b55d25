#pragma once

#include "MessageBoxService.h"

#include <QDir>

#include <filesystem>
#include <vector>

class QWidget;

namespace veltran {

class frmMain;

/// Renders the program's windows to PNG files instead of waiting for a person: every message box is
/// shown, saved and answered with its first button; the main window is saved with its list filled,
/// during a run and after it, and then the program quits.
class ScreenshotSession : public MessageBoxService
{
public:
    /// Files go to `folder`, which is made when missing.
    explicit ScreenshotSession(const QString& folder);

    MessageResult ShowMessageBox(const MessageRequest& request) override;

    /// Once the event loop runs: adds `paths` to the window's list and saves "main-window.png", opens
    /// the rule editor ("rule-editor.png") and the add-files dialog ("file-dialog.png"), chooses BIG5
    /// as the target, checks the list ("check-result.png"), starts a run over it ("run-in-progress.png"
    /// while it goes), saves the log that the run opens ("run-log.png"), then quits.
    void CaptureAndQuit(frmMain& window, std::vector<std::filesystem::path> paths);

private:
    void Save(QWidget& widget, const QString& name);
    /// Saves the modal window that opens next, within a moment, and closes it.
    void SaveNextModal(const QString& name);
    /// Saves each text viewer that is open and closes it.
    void SaveViewers(const QString& name);

    QDir m_folder;
    QStringList m_boxNames{QStringLiteral("about-box.png"), QStringLiteral("run-finished.png")};
    int m_boxCount = 0;
};

} // namespace veltran
