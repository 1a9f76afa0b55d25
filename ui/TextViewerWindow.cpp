#include "TextViewerWindow.h"

#include <QFile>
#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QVBoxLayout>

namespace veltran {

TextViewerWindow::TextViewerWindow(const QString& title, const QString& text, std::size_t undecodable)
{
    setObjectName(QStringLiteral("TextViewer"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(title);

    auto* view = new QPlainTextEdit(this);
    view->setObjectName(QStringLiteral("txtView"));
    view->setReadOnly(true);
    // Read-only text takes no keys by default; a reader expects Ctrl+End, PgDn and the arrows to move.
    view->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    view->setLineWrapMode(QPlainTextEdit::NoWrap);
    view->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    view->setPlainText(text);

    auto* status = new QLabel(StatusText(undecodable), this);
    status->setObjectName(QStringLiteral("lblStatus"));
    status->setVisible(undecodable > 0);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view);
    layout->addWidget(status);
    resize(kPreferredSize);
    new QShortcut(QKeySequence(Qt::Key_Escape), this, this, &QWidget::close);
}

QRect TextViewerWindow::PlaceWithin(const QRect& available)
{
    // A tenth of the room is left to the window manager's frame and title bar.
    const QSize size = kPreferredSize.boundedTo(available.size() * 9 / 10);
    QRect place(QPoint(), size);
    place.moveCenter(available.center());
    return place;
}

QString TextViewerWindow::Title(const std::filesystem::path& file, EncodingId encoding)
{
    return QFile::decodeName(file.c_str()) + QStringLiteral(" - ") + QString::fromLatin1(EncodingName(encoding));
}

QString TextViewerWindow::StatusText(std::size_t undecodable)
{
    if (undecodable == 0)
        return {};
    return QStringLiteral("无法解码的字节已显示为 \uFFFD：%1 处").arg(undecodable);
}

} // namespace veltran
