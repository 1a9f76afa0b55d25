#include "LogPath.h"
#include "Program.h"
#include "QtPlatformServices.h"
#include "ScreenshotSession.h"
#include "frmMain.h"

#include <QApplication>
#include <QDir>
#include <QFile>

#include <memory>

namespace {

// "--screenshot FOLDER" renders the windows to image files there and quits; the documentation's
// pictures are made this way. The program otherwise takes no arguments.
QString ScreenshotFolder(const QStringList& arguments)
{
    const qsizetype at = arguments.indexOf(QStringLiteral("--screenshot"));
    return at >= 0 && at + 1 < arguments.size() ? arguments[at + 1] : QString();
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Veltran"));
    QApplication::setApplicationName(QStringLiteral("Veltran"));

    const QString screenshotFolder = ScreenshotFolder(QApplication::arguments());
    std::unique_ptr<veltran::ScreenshotSession> screenshots;
    if (!screenshotFolder.isEmpty())
        screenshots = std::make_unique<veltran::ScreenshotSession>(screenshotFolder);

    veltran::QtPlatformServices platform(screenshots.get());
    const veltran::WindowFolders folders{QFile::encodeName(veltran::ProgramLogPath()).toStdString(),
                                         QFile::encodeName(QDir::homePath()).toStdString()};
    veltran::Program program(platform.Services(), folders);
    veltran::frmMain& window = program.Start();
    if (screenshots)
        screenshots->CaptureAndQuit(window);
    return QApplication::exec();
}
