#include "QtInputBox.h"

#include <QApplication>
#include <QInputDialog>

namespace veltran {

std::string QtInputBox::Ask(std::string_view prompt, std::string_view title, std::string_view defaultAnswer)
{
    const auto text = [](std::string_view utf8) {
        return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    };
    bool ok = false;
    const QString answer = QInputDialog::getText(QApplication::activeWindow(), text(title),
                                                 text(prompt).replace(QStringLiteral("\r\n"), QStringLiteral("\n")),
                                                 QLineEdit::Normal, text(defaultAnswer), &ok);
    return ok ? answer.toStdString() : std::string();
}

} // namespace veltran
