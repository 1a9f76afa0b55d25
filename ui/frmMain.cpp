#include "frmMain.h"

#include "AboutBox.h"
#include "LogPath.h"
#include "MainWindowBuilder.h"
#include "MainWindowDesign.h"
#include "SettingsStore.h"
#include "UrlOpener.h"
#include "WindowGeometry.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QListWidget>

namespace veltran {

namespace {

constexpr int kKeyEscape = 27;
constexpr std::int16_t kTrue = -1;

int KeyCode(const QKeyEvent& event)
{
    return event.key() == Qt::Key_Escape ? kKeyEscape : event.key();
}

} // namespace

frmMain::frmMain(const PlatformServices& services, RuleTable& rules, QWidget* parent)
    : QWidget(parent), m_services(services), m_rules(rules)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(ProductLineText(true));
    setWindowIcon(MainWindowIcon());
    setMouseTracking(true);

    const TwipScale scale = Scale();
    resize(scale.ToPixels(kDesignInnerSize));
    BuildMainWindowControls(*this, scale);
    ConnectHandlers();
    Form_Load();
}

WindowState frmMain::CurrentState() const
{
    if (isMinimized())
        return WindowState::Minimised;
    if (isMaximized() || isFullScreen())
        return WindowState::Maximised;
    return WindowState::Normal;
}

QWidget& frmMain::Control(const char* name) const
{
    QWidget* control = findChild<QWidget*>(QString::fromLatin1(name));
    Q_ASSERT(control);
    return *control;
}

TwipScale frmMain::Scale() const
{
    return TwipScale(logicalDpiX(), logicalDpiY());
}

TwipSize frmMain::InnerSize() const
{
    return Scale().ToTwips(size());
}

void frmMain::ConnectHandlers()
{
    const auto onClick = [this](const char* name, void (frmMain::*handler)()) {
        connect(static_cast<QAbstractButton*>(&Control(name)), &QAbstractButton::clicked, this, handler);
    };
    onClick("cmdStartConvert", &frmMain::cmdStartConvert_Click);
    onClick("cmdStopConvert", &frmMain::cmdStopConvert_Click);
    onClick("cmdAddFile", &frmMain::cmdAddFile_Click);
    onClick("cmdAddDir", &frmMain::cmdAddDir_Click);
    onClick("cmdRemoveFile", &frmMain::cmdRemoveFile_Click);
    onClick("cmdRemoveUnsel", &frmMain::cmdRemoveUnsel_Click);
    onClick("cmdRemoveAll", &frmMain::cmdRemoveAll_Click);
    onClick("cmdAbout", &frmMain::cmdAbout_Click);
    onClick("cmdExit", &frmMain::cmdExit_Click);
    onClick("chkText", &frmMain::chkText_Click);

    // An option is clicked whenever it becomes selected, by mouse, keyboard or code.
    const auto onSelect = [this](const char* name, void (frmMain::*handler)()) {
        connect(static_cast<QAbstractButton*>(&Control(name)), &QAbstractButton::toggled, this,
                [this, handler](bool on) {
                    if (on)
                        (this->*handler)();
                });
    };
    onSelect("optGb", &frmMain::optGb_Click);
    onSelect("optBig5", &frmMain::optBig5_Click);
    onSelect("optUtf8", &frmMain::optUtf8_Click);

    connect(static_cast<QListWidget*>(&Control("lstFiles")), &QListWidget::itemDoubleClicked, this,
            &frmMain::lstFiles_DblClick);

    m_link = &Control("Label1");
    // Key preview: the window sees every key before the control that has the focus.
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);
}

void frmMain::Form_Load()
{
    m_layout.Reset();
    for (const char* name : RegisteredControls())
        RegisterLayout(Control(name));

    m_logPath = ProgramLogPath();

    if (ReadNumber(m_services.settings, kSettingsSection, kWindowKey, 0) == static_cast<int>(WindowState::Maximised))
        setWindowState(windowState() | Qt::WindowMaximized);
}

void frmMain::Form_Unload()
{
    // A store that cannot be written loses the state; closing goes on regardless.
    m_services.settings.Write(kSettingsSection, kWindowKey, QString::number(static_cast<int>(CurrentState())));
}

void frmMain::RegisterLayout(QWidget& control)
{
    m_layout.Register(control.objectName().toStdString(), Scale().ToTwips(control.geometry()), InnerSize());
}

void frmMain::ApplyLayout(QWidget& control)
{
    const std::optional<TwipRect> rect = m_layout.Apply(control.objectName().toStdString(), InnerSize());
    if (!rect)
        return;
    QRect pixels = Scale().ToPixels(*rect);
    if (control.property(kAutoSizeProperty).toBool())
        pixels.setSize(control.sizeHint());
    control.setGeometry(pixels);
}

void frmMain::Form_Resize()
{
    if (!ApplyResizeRule(*this, CurrentState()))
        return;
    for (const char* name : LayoutOrder())
        ApplyLayout(Control(name));
}

void frmMain::Form_KeyDown(int keyCode)
{
    if (keyCode == kKeyEscape)
        m_stopRequested = kTrue;
}

void frmMain::Form_MouseMove()
{
    SetLinkColour(Control("Label1"), Qt::blue);
}

void frmMain::Label1_MouseMove()
{
    SetLinkColour(Control("Label1"), Qt::red);
}

void frmMain::Label1_Click()
{
    m_services.urlOpener.OpenUrl(LinkTarget());
}

void frmMain::cmdStopConvert_Click()
{
    m_stopRequested = kTrue;
}

void frmMain::cmdAbout_Click()
{
    ShowAbout(m_services.messageBox, this);
}

void frmMain::cmdExit_Click()
{
    close();
}

void frmMain::optGb_Click()
{
    TieBomToTarget();
}

void frmMain::optBig5_Click()
{
    TieBomToTarget();
}

void frmMain::optUtf8_Click()
{
    TieBomToTarget();
}

void frmMain::TieBomToTarget()
{
    // Only the enabled state follows the target; the mark is the user's and survives.
    Control("chkU8BOM").setEnabled(static_cast<QAbstractButton&>(Control("optUtf8")).isChecked());
}

// The run, the list commands and the rule editor are not built yet: their controls already stand
// in the window with their states, and clicking them does nothing.
void frmMain::cmdStartConvert_Click()
{
}
void frmMain::cmdAddFile_Click()
{
}
void frmMain::cmdAddDir_Click()
{
}
void frmMain::cmdRemoveFile_Click()
{
}
void frmMain::cmdRemoveUnsel_Click()
{
}
void frmMain::cmdRemoveAll_Click()
{
}
void frmMain::chkText_Click()
{
}
void frmMain::lstFiles_DblClick()
{
}

bool frmMain::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_link) {
        if (event->type() == QEvent::MouseMove) {
            Label1_MouseMove();
            return true;
        }
        if (event->type() == QEvent::MouseButtonRelease) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton && m_link->rect().contains(mouse->position().toPoint()))
                Label1_Click();
            return true;
        }
    }
    // A key the focus control ignores travels on to its parents; preview it once, at the start.
    if (event->type() == QEvent::KeyPress && watched == focusWidget())
        Form_KeyDown(KeyCode(*static_cast<QKeyEvent*>(event)));
    return QWidget::eventFilter(watched, event);
}

void frmMain::keyPressEvent(QKeyEvent* event)
{
    if (focusWidget() == nullptr || focusWidget() == this)
        Form_KeyDown(KeyCode(*event));
    QWidget::keyPressEvent(event);
}

void frmMain::mouseMoveEvent(QMouseEvent* event)
{
    if (childAt(event->position().toPoint()) == nullptr)
        Form_MouseMove();
    QWidget::mouseMoveEvent(event);
}

void frmMain::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

void frmMain::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    // Restoring from minimised changes no size, yet centres and lays out again.
    if (event->type() == QEvent::WindowStateChange)
        Form_Resize();
}

void frmMain::closeEvent(QCloseEvent* event)
{
    Form_Unload();
    event->accept();
}

} // namespace veltran
