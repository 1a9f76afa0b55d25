#include "ScreenshotSession.h"

#include "QtMessageBox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPixmap>
#include <QPointer>
#include <QTimer>

#include <cstdio>

namespace veltran {

namespace {

// Long enough for a window manager under Xvfb to map, place and paint the window.
constexpr int kSettleMilliseconds = 700;

void Settle()
{
    QEventLoop loop;
    QTimer::singleShot(kSettleMilliseconds, &loop, &QEventLoop::quit);
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
    Save(*box,
         m_boxCount == 1 ? QStringLiteral("about-box.png") : QStringLiteral("message-box-%1.png").arg(m_boxCount));
    box->buttons().constFirst()->click();
    return QtMessageBox::ResultOf(*box);
}

void ScreenshotSession::CaptureAndQuit(QWidget& window)
{
    QPointer<QWidget> target(&window);
    QTimer::singleShot(kSettleMilliseconds, qApp, [this, target] {
        if (target)
            Save(*target, QStringLiteral("main-window.png"));
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
