#include "QtMessageBox.h"

#include "MessageBoxButtons.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

namespace veltran {

namespace {

constexpr char kIdProperty[] = "veltranButtonId";
constexpr unsigned kIconMask = 0xF0;

QDialogButtonBox::StandardButton StandardButtonFor(int id)
{
    switch (id) {
    case kIdCancel:
        return QDialogButtonBox::Cancel;
    case kIdAbort:
        return QDialogButtonBox::Abort;
    case kIdRetry:
        return QDialogButtonBox::Retry;
    case kIdIgnore:
        return QDialogButtonBox::Ignore;
    case kIdYes:
        return QDialogButtonBox::Yes;
    case kIdNo:
        return QDialogButtonBox::No;
    default:
        return QDialogButtonBox::Ok;
    }
}

// The desktop's own caption for a button, as its standard dialogs show it.
QString SystemCaption(int id)
{
    QDialogButtonBox standard;
    return standard.addButton(StandardButtonFor(id))->text();
}

QMessageBox::Icon IconFor(unsigned style)
{
    switch (style & kIconMask) {
    case kMbIconError:
        return QMessageBox::Critical;
    case kMbIconQuestion:
        return QMessageBox::Question;
    case kMbIconWarning:
        return QMessageBox::Warning;
    case kMbIconInformation:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

QString ProgramName()
{
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

} // namespace

std::unique_ptr<QMessageBox> QtMessageBox::Build(const QString& text, const QString& labels, const QString& caption,
                                                 unsigned style, QWidget* owner)
{
    auto box = std::make_unique<QMessageBox>(owner);
    box->setIcon(IconFor(style));
    box->setWindowTitle(EffectiveCaption(caption, ProgramName()));
    box->setTextFormat(Qt::PlainText);
    box->setText(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));

    const std::vector<PlannedButton> plan = PlanButtons(style, labels);
    const int escapeId = EscapeButtonId(style);
    for (std::size_t i = 0; i < plan.size(); ++i) {
        // One role for all buttons keeps them in the order added on every desktop's button layout.
        QPushButton* button =
            box->addButton(plan[i].caption.value_or(SystemCaption(plan[i].id)), QMessageBox::ActionRole);
        button->setProperty(kIdProperty, plan[i].id);
        if (static_cast<int>(i) == DefaultButtonIndex(style))
            box->setDefaultButton(button);
        if (plan[i].id == escapeId)
            box->setEscapeButton(button);
    }
    return box;
}

int QtMessageBox::ResultOf(const QMessageBox& box)
{
    const QAbstractButton* clicked = box.clickedButton();
    return clicked ? clicked->property(kIdProperty).toInt() : 0;
}

int QtMessageBox::ShowMessageBox(const QString& text, const QString& labels, const QString& caption, unsigned style,
                                 QWidget* owner)
{
    const std::unique_ptr<QMessageBox> box = Build(text, labels, caption, style, owner);
    box->exec();
    return ResultOf(*box);
}

} // namespace veltran
