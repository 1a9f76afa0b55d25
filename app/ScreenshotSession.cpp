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
#include <QRadioButton>
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

// Waits until the window's run or check has ended and been reported.
void WaitForRun(frmMain& window)
{
    if (!window.Run().Running())
        return;
    QEventLoop loop;
    QObject::connect(&window, &frmMain::runFinished, &loop, &QEventLoop::quit);
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
        SaveNextModal(QStringLiteral("rule-editor.png"));
        target->Controls().chkText->click();
        target->Controls().chkText->click();
        // Qt's own file dialog, in the language of Qt's translation.
        SaveNextModal(QStringLiteral("file-dialog.png"));
        target->Controls().cmdAddFile->click();
        // BIG5 lacks characters of some pages, so the check and the run have losses to tell of.
        target->Controls().optBig5->click();
        target->lstFiles_Check(false);
        WaitForRun(*target);
        Settle();
        SaveViewers(QStringLiteral("check-result.png"));
        if (!paths.empty()) {
            QTimer::singleShot(kIntoTheRunMilliseconds, target, [this, target] {
                if (!target->Controls().cmdConvertInfo->isVisible())
                    std::fprintf(stderr, "veltran: the run ended before it could be pictured\n");
                Save(*target, QStringLiteral("run-in-progress.png"));
            });
            target->Controls().cmdStartConvert->click();
            WaitForRun(*target);
            // A run with failures or losses opens its log when the closing message is closed.
            Settle();
            SaveViewers(QStringLiteral("run-log.png"));
        }
        QApplication::quit();
    });
}

void ScreenshotSession::SaveNextModal(const QString& name)
{
    QTimer::singleShot(kSettleMilliseconds, qApp, [this, name] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            Save(*modal, name);
            modal->close();
        }
    });
}

void ScreenshotSession::SaveViewers(const QString& name)
{
    for (QWidget* viewer : QApplication::topLevelWidgets()) {
        if (viewer->objectName() == QStringLiteral("TextViewer") && viewer->isVisible()) {
            Save(*viewer, name);
            viewer->close();
        }
    }
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
