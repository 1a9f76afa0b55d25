#include "LogPath.h"
#include "MappingTablesFile.h"
#include "Program.h"
#include "ProgramArguments.h"
#include "QtPlatformServices.h"
#include "QtTranslations.h"
#include "Reasons.h"
#include "ScreenshotSession.h"
#include "frmMain.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QTimer>

#include <cstdio>
#include <cstring>
#include <memory>

int main(int argc, char* argv[])
{
    // Help and version are answered before Qt starts, so that they need no display.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0)
            break;
        if (std::strcmp(argv[i], "-h") == 0 || std::strcmp(argv[i], "--help") == 0) {
            std::fputs(veltran::ProgramUsage().toUtf8().constData(), stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::puts("veltran " VELTRAN_VERSION);
            return 0;
        }
    }

    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Veltran"));
    QApplication::setApplicationName(QStringLiteral("Veltran"));
    veltran::InstallQtTranslations(app, QLocale::system());
    // Qt has taken its own options (-platform and the like) out of the arguments by now.
    const veltran::ProgramArguments arguments = veltran::ParseProgramArguments(QApplication::arguments().mid(1));
    if (!arguments.error.isEmpty()) {
        std::fprintf(stderr, "veltran: %s\nTry 'veltran --help' for more information.\n", qPrintable(arguments.error));
        return 2;
    }

    // Without its mapping tables the window could convert nothing: say so, rather than fail later.
    const auto tables = veltran::LoadMappingTables();
    if (const veltran::Status usable = tables ? (*tables)->CheckDigests() : tables.status(); !usable) {
        std::fprintf(stderr, "veltran: %s\n", usable.message.c_str());
        QMessageBox::critical(nullptr, QStringLiteral("Veltran"),
                              QStringLiteral("找不到或无法读取汉字转换表，请重新安装 Veltran。\n\n") +
                                  QString::fromStdString(veltran::ReasonText(usable, veltran::Language::Chinese)));
        return 1;
    }

    std::unique_ptr<veltran::ScreenshotSession> screenshots;
    if (!arguments.screenshotFolder.isEmpty())
        screenshots = std::make_unique<veltran::ScreenshotSession>(arguments.screenshotFolder);

    veltran::QtPlatformServices platform(screenshots.get());
    const veltran::WindowFolders folders{QFile::encodeName(veltran::ProgramLogPath()).toStdString(),
                                         QFile::encodeName(QDir::homePath()).toStdString()};
    veltran::Program program(platform.Services(), folders);
    veltran::frmMain& window = program.Start();
    if (screenshots)
        screenshots->CaptureAndQuit(window, arguments.paths);
    else if (!arguments.paths.empty())
        QTimer::singleShot(0, &window, [&window, &arguments] { window.AddPaths(arguments.paths); });
    return QApplication::exec();
}
