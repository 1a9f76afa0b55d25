#include "ScreenshotSession.h"

#include "QtMessageBox.h"
#include "frmMain.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QMessageBox>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include <cstdio>

namespace veltran {

namespace {

// Long enough for a window manager under Xvfb to map, place and paint the window.
constexpr int kSettleMilliseconds = 700;
// Into a run over a few thousand small files, past its first refreshes.
constexpr int kIntoTheRunMilliseconds = 150;

void Settle(int milliseconds = kSettleMilliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

ScreenshotSession::ScreenshotSession(const QString& folder) : m_folder(folder)
{
    m_folder.mkpath(QStringLiteral("."));
}

MessageResult ScreenshotSession::ShowMessageBox(const MessageRequest& request)
{
    const std::unique_ptr<QMessageBox> box =
        QtMessageBox::Build(request, request.owned ? QApplication::activeWindow() : nullptr);
    box->show();
    Settle();
    ++m_boxCount;
    Save(*box, m_boxNames.isEmpty() ? QStringLiteral("message-box-%1.png").arg(m_boxCount) : m_boxNames.takeFirst());
    box->buttons().constFirst()->click();
    return QtMessageBox::ResultOf(*box);
}

void ScreenshotSession::CaptureAndQuit(frmMain& window, std::vector<std::filesystem::path> paths)
{
    QPointer<frmMain> target(&window);
    QTimer::singleShot(kSettleMilliseconds, qApp, [this, target, paths] {
        if (!target)
            return;
        target->AddPaths(paths);
        Settle();
        Save(*target, QStringLiteral("main-window.png"));
        // The rule editor, opened by ticking the rules box; unticked again afterwards.
        QTimer::singleShot(kSettleMilliseconds, qApp, [this] {
            if (QWidget* editor = QApplication::activeModalWidget()) {
                Save(*editor, QStringLiteral("rule-editor.png"));
                editor->close();
            }
        });
        target->Controls().chkText->click();
        target->Controls().chkText->click();
        // The check of every entry from the list's context menu, whose result opens in the viewer.
        target->lstFiles_Check(false);
        Settle();
        for (QWidget* viewer : QApplication::topLevelWidgets()) {
            if (viewer->objectName() == QStringLiteral("TextViewer") && viewer->isVisible()) {
                Save(*viewer, QStringLiteral("check-result.png"));
                viewer->close();
            }
        }
        if (!paths.empty()) {
            QTimer::singleShot(kIntoTheRunMilliseconds, target, [this, target] {
                if (!target->Controls().cmdConvertInfo->isVisible())
                    std::fprintf(stderr, "veltran: the run ended before it could be pictured\n");
                Save(*target, QStringLiteral("run-in-progress.png"));
            });
            target->Controls().cmdStartConvert->click();
        }
        QApplication::quit();
    });
}

void ScreenshotSession::Save(QWidget& widget, const QString& name)
{
    const QString path = m_folder.filePath(name);
    if (widget.grab().save(path))
        std::printf("%s\n", qPrintable(path));
    else
        std::fprintf(stderr, "veltran: cannot write %s\n", qPrintable(path));
}

} // namespace veltran
