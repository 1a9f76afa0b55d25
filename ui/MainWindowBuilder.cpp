#include "MainWindowBuilder.h"

#include "MainWindowDesign.h"
#include "TwipScale.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>

namespace veltran {

namespace {

struct LineDesign
{
    const char* name;
    TwipRect rect;
    QPalette::ColorRole colour;
};

// An etched separator above the two frames: a shadow line with a light line under it.
const LineDesign kLines[] = {
    {"Line2", {0, 4785, 7947, 15}, QPalette::Dark},
    {"Line1", {0, 4800, 7927, 15}, QPalette::Base},
};

QFont LinkFont(const QFont& base)
{
    QFont font(base);
    // SimSun is rarely installed outside Windows; any CJK font keeps the caption readable.
    font.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("NSimSun"),
                      QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC"),
                      QStringLiteral("Noto Serif CJK SC"), QStringLiteral("WenQuanYi Zen Hei")});
    font.setPointSize(9);
    font.setWeight(QFont::Normal);
    font.setUnderline(true);
    return font;
}

void FillBackground(QWidget& widget, QPalette::ColorRole from)
{
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Window, palette.color(from));
    widget.setPalette(palette);
    widget.setAutoFillBackground(true);
}

QWidget* MakeControl(const ControlDesign& design, QWidget* parent)
{
    const QString caption = design.caption ? QString::fromUtf16(design.caption) : QString();
    switch (design.kind) {
    case ControlKind::Label: {
        auto* label = new QLabel(caption, parent);
        label->setProperty(kAutoSizeProperty, true);
        return label;
    }
    case ControlKind::LinkLabel: {
        auto* link = new QLabel(LinkCaption(), parent);
        link->setFont(LinkFont(link->font()));
        link->setProperty(kAutoSizeProperty, true);
        link->setMouseTracking(true);
        link->setCursor(Qt::PointingHandCursor);
        FillBackground(*link, QPalette::ToolTipBase);
        SetLinkColour(*link, Qt::blue);
        return link;
    }
    case ControlKind::ListBox: {
        auto* list = new QListWidget(parent);
        list->setSelectionMode(QAbstractItemView::ExtendedSelection);
        return list;
    }
    case ControlKind::Button:
        return new QPushButton(caption, parent);
    case ControlKind::CheckBox: {
        auto* box = new QCheckBox(caption, parent);
        box->setChecked(design.checked);
        return box;
    }
    case ControlKind::OptionButton: {
        auto* option = new QRadioButton(caption, parent);
        option->setChecked(design.checked);
        return option;
    }
    case ControlKind::Frame:
        return new QGroupBox(caption, parent);
    case ControlKind::Panel: {
        auto* panel = new QFrame(parent);
        panel->setFrameShape(QFrame::NoFrame);
        FillBackground(*panel, QPalette::Base);
        QPalette palette = panel->palette();
        palette.setColor(QPalette::WindowText, palette.color(QPalette::Text));
        panel->setPalette(palette);
        return panel;
    }
    }
    return nullptr;
}

} // namespace

void SetLinkColour(QWidget& link, Qt::GlobalColor colour)
{
    QPalette palette = link.palette();
    palette.setColor(QPalette::WindowText, colour);
    link.setPalette(palette);
}

void BuildMainWindowControls(QWidget& window, const TwipScale& scale)
{
    const auto controls = MainWindowControls();
    // Containers come later in the tab order than what they hold, so make the window's own
    // controls first and the framed ones after them.
    for (const bool framed : {false, true}) {
        for (const ControlDesign& design : controls) {
            if ((design.container != nullptr) != framed)
                continue;
            QWidget* parent = framed ? window.findChild<QWidget*>(QString::fromLatin1(design.container)) : &window;
            QWidget* control = MakeControl(design, parent);
            control->setObjectName(QString::fromLatin1(design.name));
            control->setGeometry(scale.ToPixels(design.rect));
            if (control->property(kAutoSizeProperty).toBool())
                control->resize(control->sizeHint());
            else if (design.kind == ControlKind::CheckBox || design.kind == ControlKind::OptionButton)
                // The design widths fit a 9-point SimSun caption; the desktop's font may need more.
                control->resize(std::max(control->width(), control->sizeHint().width()), control->height());
            control->setEnabled(design.enabled);
            control->setVisible(design.visible);
            if (design.toolTip)
                control->setToolTip(QString::fromUtf16(design.toolTip));
        }
    }

    QWidget* previous = nullptr;
    for (const ControlDesign& design : controls) {
        QWidget* control = window.findChild<QWidget*>(QString::fromLatin1(design.name));
        if (previous)
            QWidget::setTabOrder(previous, control);
        previous = control;
    }

    for (const LineDesign& line : kLines) {
        auto* widget = new QFrame(&window);
        widget->setObjectName(QString::fromLatin1(line.name));
        FillBackground(*widget, line.colour);
        QRect rect = scale.ToPixels(line.rect);
        rect.setHeight(1);
        widget->setGeometry(rect);
        widget->lower();
    }
}

QIcon MainWindowIcon()
{
    const QIcon installed = QIcon::fromTheme(QStringLiteral("veltran"));
    if (!installed.isNull())
        return installed;
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(0x1f, 0x5f, 0xbf));
    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(QRectF(1, 1, 30, 30), 6, 6);
    painter.setPen(Qt::white);
    QFont font = painter.font();
    font.setPixelSize(22);
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(QRect(0, 0, 32, 32), Qt::AlignCenter, QStringLiteral("V"));
    painter.end();
    return QIcon(pixmap);
}

} // namespace veltran
