#pragma once

#include "MessageBoxService.h"

#include <QDir>

namespace veltran {

/// Renders the program's windows to PNG files instead of waiting for a person: every message box is
/// shown, saved and answered with its first button; the main window is saved once it has settled,
/// and then the program quits.
class ScreenshotSession : public MessageBoxService
{
public:
    /// Files go to `folder`, which is made when missing.
    explicit ScreenshotSession(const QString& folder);

    MessageResult ShowMessageBox(const MessageRequest& request) override;

    /// Saves the window as "main-window.png" after the event loop has laid it out, then quits.
    void CaptureAndQuit(QWidget& window);

private:
    void Save(QWidget& widget, const QString& name);

    QDir m_folder;
    int m_boxCount = 0;
};

} // namespace veltran
