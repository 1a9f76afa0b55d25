#include "QtDesktop.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace veltran {

namespace {

// Plain-text editors of the common desktops, so that a web page opens as text, not in a browser.
const char* const kTextViewers[] = {"gnome-text-editor", "gedit",  "kwrite", "kate", "mousepad", "pluma", "xed",
                                    "featherpad",        "leafpad"};

} // namespace

void QtDesktop::OpenUrl(const QString& address)
{
    QDesktopServices::openUrl(QUrl(address));
}

std::string QtDesktop::ShowFile(const std::filesystem::path& file)
{
    const QString path = QString::fromStdString(file.string());
    for (const char* viewer : kTextViewers) {
        const QString program = QStandardPaths::findExecutable(QString::fromLatin1(viewer));
        if (!program.isEmpty() && QProcess::startDetached(program, {path}))
            return {};
    }
    if (QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        return {};
    return "没有找到可以查看文本文件的程序。";
}

} // namespace veltran
