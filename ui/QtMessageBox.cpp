#include "QtMessageBox.h"

#include "MessageBoxButtons.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

namespace veltran {

namespace {

constexpr char kIdProperty[] = "veltranButtonId";

QDialogButtonBox::StandardButton StandardButtonFor(MessageResult id)
{
    switch (id) {
    case MessageResult::Cancel:
        return QDialogButtonBox::Cancel;
    case MessageResult::Abort:
        return QDialogButtonBox::Abort;
    case MessageResult::Retry:
        return QDialogButtonBox::Retry;
    case MessageResult::Ignore:
        return QDialogButtonBox::Ignore;
    case MessageResult::Yes:
        return QDialogButtonBox::Yes;
    case MessageResult::No:
        return QDialogButtonBox::No;
    default:
        return QDialogButtonBox::Ok;
    }
}

// The desktop's own caption for a button, as its standard dialogs show it.
QString SystemCaption(MessageResult id)
{
    QDialogButtonBox standard;
    return standard.addButton(StandardButtonFor(id))->text();
}

QMessageBox::Icon IconFor(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Error:
        return QMessageBox::Critical;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QString ProgramName()
{
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

} // namespace

std::unique_ptr<QMessageBox> QtMessageBox::Build(const MessageRequest& request, QWidget* owner)
{
    auto box = std::make_unique<QMessageBox>(owner);
    box->setIcon(IconFor(request.icon));
    box->setWindowTitle(EffectiveCaption(QString::fromStdString(request.caption), ProgramName()));
    box->setTextFormat(Qt::PlainText);
    box->setText(QString::fromStdString(request.text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));

    const std::vector<PlannedButton> plan = PlanButtons(request.buttons, QString::fromStdString(request.labels));
    const MessageResult escapeId = EscapeButtonId(request.buttons);
    const int defaultIndex = DefaultButtonIndex(request.buttons, request.defaultButton);
    for (std::size_t i = 0; i < plan.size(); ++i) {
        // One role for all buttons keeps them in the order added on every desktop's button layout.
        QPushButton* button =
            box->addButton(plan[i].caption.value_or(SystemCaption(plan[i].id)), QMessageBox::ActionRole);
        button->setProperty(kIdProperty, static_cast<int>(plan[i].id));
        if (static_cast<int>(i) == defaultIndex)
            box->setDefaultButton(button);
        if (plan[i].id == escapeId)
            box->setEscapeButton(button);
    }
    return box;
}

MessageResult QtMessageBox::ResultOf(const QMessageBox& box)
{
    const QAbstractButton* clicked = box.clickedButton();
    return clicked ? static_cast<MessageResult>(clicked->property(kIdProperty).toInt()) : MessageResult::None;
}

MessageResult QtMessageBox::ShowMessageBox(const MessageRequest& request)
{
    const std::unique_ptr<QMessageBox> box = Build(request, request.owned ? QApplication::activeWindow() : nullptr);
    box->exec();
    return ResultOf(*box);
}

} // namespace veltran
