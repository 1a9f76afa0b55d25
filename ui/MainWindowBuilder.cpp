#include "MainWindowBuilder.h"

#include "FileListView.h"
#include "MainWindowDesign.h"
#include "TwipScale.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>
#include <utility>
#include <vector>

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

void Caption(QLabel& label, const ControlDesign& design)
{
    label.setText(QString::fromUtf16(design.caption));
    label.setProperty(kAutoSizeProperty, true);
}

// Makes the controls of the design table and remembers them in table order, which is the tab order.
class ControlFactory
{
public:
    ControlFactory(const TwipScale& scale) : m_scale(scale) {}

    template <typename T, typename... Args> T* Make(const char* name, QWidget& parent, Args&&... args)
    {
        const ControlDesign& design = DesignOf(name);
        auto* control = new T(std::forward<Args>(args)..., &parent);
        control->setObjectName(QString::fromLatin1(design.name));
        Shape(*control, design);
        m_made.push_back({&design, control});
        return control;
    }

    // Applies the design's caption, state, geometry and tooltip.
    void Shape(QWidget& control, const ControlDesign& design)
    {
        const QString caption = design.caption ? QString::fromUtf16(design.caption) : QString();
        if (auto* label = qobject_cast<QLabel*>(&control); label && design.kind == ControlKind::Label)
            Caption(*label, design);
        else if (auto* button = qobject_cast<QAbstractButton*>(&control)) {
            button->setText(caption);
            button->setChecked(design.checked);
        } else if (auto* frame = qobject_cast<QGroupBox*>(&control))
            frame->setTitle(caption);
        control.setGeometry(m_scale.ToPixels(design.rect));
        if (control.property(kAutoSizeProperty).toBool())
            control.resize(control.sizeHint());
        else if (design.kind == ControlKind::CheckBox || design.kind == ControlKind::OptionButton)
            // The design widths fit a 9-point SimSun caption; the desktop's font may need more.
            control.resize(std::max(control.width(), control.sizeHint().width()), control.height());
        control.setEnabled(design.enabled);
        control.setVisible(design.visible);
        if (design.toolTip)
            control.setToolTip(QString::fromUtf16(design.toolTip));
    }

    void SetTabOrder() const
    {
        std::vector<std::pair<const ControlDesign*, QWidget*>> ordered = m_made;
        const auto row = [](const ControlDesign* design) { return design - MainWindowDesign().data(); };
        std::sort(ordered.begin(), ordered.end(),
                  [&row](const auto& a, const auto& b) { return row(a.first) < row(b.first); });
        for (std::size_t i = 1; i < ordered.size(); ++i)
            QWidget::setTabOrder(ordered[i - 1].second, ordered[i].second);
    }

private:
    const TwipScale& m_scale;
    std::vector<std::pair<const ControlDesign*, QWidget*>> m_made;
};

QLabel* MakeLink(ControlFactory& factory, QWidget& window)
{
    auto* link = factory.Make<QLabel>("Label1", window, LinkCaption());
    link->setFont(LinkFont(link->font()));
    link->setProperty(kAutoSizeProperty, true);
    link->resize(link->sizeHint());
    link->setMouseTracking(true);
    link->setCursor(Qt::PointingHandCursor);
    FillBackground(*link, QPalette::ToolTipBase);
    SetLinkColour(*link, Qt::blue);
    return link;
}

QFrame* MakePanel(ControlFactory& factory, QWidget& window)
{
    auto* panel = factory.Make<QFrame>("cmdConvertInfo", window);
    panel->setFrameShape(QFrame::NoFrame);
    FillBackground(*panel, QPalette::Base);
    QPalette palette = panel->palette();
    palette.setColor(QPalette::WindowText, palette.color(QPalette::Text));
    panel->setPalette(palette);
    return panel;
}

QFrame* MakeLine(QWidget& window, const LineDesign& line, const TwipScale& scale)
{
    auto* widget = new QFrame(&window);
    widget->setObjectName(QString::fromLatin1(line.name));
    FillBackground(*widget, line.colour);
    QRect rect = scale.ToPixels(line.rect);
    rect.setHeight(1);
    widget->setGeometry(rect);
    widget->lower();
    return widget;
}

} // namespace

void SetLinkColour(QWidget& link, Qt::GlobalColor colour)
{
    QPalette palette = link.palette();
    palette.setColor(QPalette::WindowText, colour);
    link.setPalette(palette);
}

MainWindowControls BuildMainWindowControls(QWidget& window, const TwipScale& scale, FileListModel& files)
{
    ControlFactory make(scale);
    MainWindowControls c;
    c.lblFiles = make.Make<QLabel>("lblFiles", window);
    c.lstFiles = make.Make<FileListView>("lstFiles", window, files);
    c.cmdStartConvert = make.Make<QPushButton>("cmdStartConvert", window);
    c.cmdStopConvert = make.Make<QPushButton>("cmdStopConvert", window);
    c.cmdAddFile = make.Make<QPushButton>("cmdAddFile", window);
    c.cmdAddDir = make.Make<QPushButton>("cmdAddDir", window);
    c.cmdRemoveFile = make.Make<QPushButton>("cmdRemoveFile", window);
    c.cmdRemoveUnsel = make.Make<QPushButton>("cmdRemoveUnsel", window);
    c.cmdRemoveAll = make.Make<QPushButton>("cmdRemoveAll", window);
    c.cmdAbout = make.Make<QPushButton>("cmdAbout", window);
    c.cmdExit = make.Make<QPushButton>("cmdExit", window);
    c.chkBackup = make.Make<QCheckBox>("chkBackup", window);
    c.chkText = make.Make<QCheckBox>("chkText", window);
    c.cmdConvertInfo = MakePanel(make, window);
    c.lblInfo = make.Make<QLabel>("lblInfo", *c.cmdConvertInfo);
    c.freCode = make.Make<QGroupBox>("freCode", window);
    c.freFrmCode = make.Make<QGroupBox>("freFrmCode", window);
    c.optFrmUTF8 = make.Make<QRadioButton>("optFrmUTF8", *c.freFrmCode);
    c.optFrmGb = make.Make<QRadioButton>("optFrmGb", *c.freFrmCode);
    c.optFrmBig5 = make.Make<QRadioButton>("optFrmBig5", *c.freFrmCode);
    c.optUtf8 = make.Make<QRadioButton>("optUtf8", *c.freCode);
    c.optGb = make.Make<QRadioButton>("optGb", *c.freCode);
    c.optBig5 = make.Make<QRadioButton>("optBig5", *c.freCode);
    c.chkU8BOM = make.Make<QCheckBox>("chkU8BOM", *c.freCode);
    c.Label1 = MakeLink(make, window);
    make.SetTabOrder();

    c.Line2 = MakeLine(window, kLines[0], scale);
    c.Line1 = MakeLine(window, kLines[1], scale);
    return c;
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
