#include "QtTextViewer.h"

#include "DisplayText.h"
#include "FileReader.h"
#include "TextViewerWindow.h"

#include <QApplication>
#include <QScreen>

namespace veltran {

Status QtTextViewer::ShowFile(const std::filesystem::path& file, EncodingId encoding)
{
    ReadLimits limits;
    limits.largest = kLargestFile;
    const Result<FileContent> read = ReadRegularFile(file, limits);
    if (!read)
        return read.status();
    const DisplayText text = DecodeForDisplay(read->bytes, encoding);
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
