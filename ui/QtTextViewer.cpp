#include "QtTextViewer.h"

#include "DisplayText.h"
#include "SystemError.h"
#include "TextViewerWindow.h"

#include <QApplication>
#include <QScreen>

#include <cerrno>
#include <fstream>
#include <iterator>

namespace veltran {

Status QtTextViewer::ShowFile(const std::filesystem::path& file, EncodingId encoding)
{
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(file, error);
    if (error)
        return Status::Failure(StatusCode::ReadFailed, file.string() + ": " + error.message());
    if (size > kLargestFile)
        return Status::Failure(StatusCode::ReadFailed, file.string() + ": 文件太大，无法查看。");
    std::ifstream in(file, std::ios::binary);
    Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad() || !in.is_open())
        return Status::Failure(StatusCode::ReadFailed, file.string() + ": " + SystemErrorText(errno));

    const DisplayText text = DecodeForDisplay(bytes, encoding);
    Show(new TextViewerWindow(TextViewerWindow::Title(file, text.encoding), QString::fromStdU16String(text.text),
                              text.undecodable));
    return Status::Success();
}

void QtTextViewer::ShowText(const std::string& title, const std::string& text)
{
    Show(new TextViewerWindow(QString::fromStdString(title), QString::fromStdString(text), 0));
}

void QtTextViewer::Show(QWidget* window)
{
    // On the screen of the window it was opened from, centred there, rather than where the window
    // manager puts new windows.
    const QWidget* from = QApplication::activeWindow();
    const QScreen* screen = from ? from->screen() : QGuiApplication::primaryScreen();
    if (screen)
        window->setGeometry(TextViewerWindow::PlaceWithin(screen->availableGeometry()));
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace veltran
