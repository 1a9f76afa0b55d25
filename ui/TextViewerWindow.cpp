#include "TextViewerWindow.h"

#include <QFile>
#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
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
    resize(760, 560);
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
