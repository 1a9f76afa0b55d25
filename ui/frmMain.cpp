#include "frmMain.h"

#include "AboutBox.h"
#include "FileListView.h"
#include "MainWindowBuilder.h"
#include "MainWindowDesign.h"
#include "WindowResize.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace veltran {

namespace {

constexpr int kKeyEscape = 27;

int KeyCode(const QKeyEvent& event)
{
    return event.key() == Qt::Key_Escape ? kKeyEscape : event.key();
}

} // namespace

frmMain::frmMain(const PlatformServices& services, RuleTable& rules, const WindowFolders& folders, QWidget* parent)
    : QWidget(parent), m_services(services), m_rules(rules), m_folders(folders), m_events(services.messageBox)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(ProductLineText(true));
    setWindowIcon(MainWindowIcon());
    setMouseTracking(true);

    const TwipScale scale = Scale();
    resize(scale.ToPixels(kDesignInnerSize));
    m_controls = BuildMainWindowControls(*this, scale, m_files);
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
    const MainWindowControls& c = m_controls;
    connect(c.cmdStartConvert, &QPushButton::clicked, this, &frmMain::cmdStartConvert_Click);
    connect(c.cmdStopConvert, &QPushButton::clicked, this, &frmMain::cmdStopConvert_Click);
    connect(c.cmdAddFile, &QPushButton::clicked, this, &frmMain::cmdAddFile_Click);
    connect(c.cmdAddDir, &QPushButton::clicked, this, &frmMain::cmdAddDir_Click);
    connect(c.cmdRemoveFile, &QPushButton::clicked, this, &frmMain::cmdRemoveFile_Click);
    connect(c.cmdRemoveUnsel, &QPushButton::clicked, this, &frmMain::cmdRemoveUnsel_Click);
    connect(c.cmdRemoveAll, &QPushButton::clicked, this, &frmMain::cmdRemoveAll_Click);
    connect(c.cmdAbout, &QPushButton::clicked, this, &frmMain::cmdAbout_Click);
    connect(c.cmdExit, &QPushButton::clicked, this, &frmMain::cmdExit_Click);
    connect(c.chkText, &QCheckBox::clicked, this, &frmMain::chkText_Click);

    // An option is clicked whenever it becomes selected, by mouse, keyboard or code.
    const auto onSelect = [this](QRadioButton* option, void (frmMain::*handler)()) {
        connect(option, &QRadioButton::toggled, this, [this, handler](bool on) {
            if (on)
                (this->*handler)();
        });
    };
    onSelect(c.optGb, &frmMain::optGb_Click);
    onSelect(c.optBig5, &frmMain::optBig5_Click);
    onSelect(c.optUtf8, &frmMain::optUtf8_Click);

    connect(c.lstFiles, &FileListView::doubleClicked, this, &frmMain::lstFiles_DblClick);

    // Key preview: the window sees every key before the control that has the focus.
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);
}

void frmMain::Form_Load()
{
    m_layout.Reset();
    for (QWidget* control : m_controls.Registered())
        RegisterLayout(*control);

    if (ReadNumber(m_services.settings, kSettingsSection, kWindowKey, 0) == static_cast<int>(WindowState::Maximised))
        setWindowState(windowState() | Qt::WindowMaximized);
}

void frmMain::Form_Unload()
{
    // A store that cannot be written loses the state; closing goes on regardless.
    m_services.settings.Write(kSettingsSection, kWindowKey, std::to_string(static_cast<int>(CurrentState())));
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
    for (QWidget* control : m_controls.LayoutOrder())
        ApplyLayout(*control);
}

void frmMain::Form_KeyDown(int keyCode)
{
    if (keyCode == kKeyEscape)
        m_events.RequestStop();
}

void frmMain::Form_MouseMove()
{
    SetLinkColour(*m_controls.Label1, Qt::blue);
}

void frmMain::Label1_MouseMove()
{
    SetLinkColour(*m_controls.Label1, Qt::red);
}

void frmMain::Label1_Click()
{
    m_services.urlOpener.OpenUrl(LinkTarget().toStdString());
}

void frmMain::cmdStopConvert_Click()
{
    m_events.RequestStop();
}

void frmMain::cmdAbout_Click()
{
    ShowAbout(m_services.messageBox, true);
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
    m_controls.chkU8BOM->setEnabled(m_controls.optUtf8->isChecked());
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
    if (watched == m_controls.Label1) {
        if (event->type() == QEvent::MouseMove) {
            Label1_MouseMove();
            return true;
        }
        if (event->type() == QEvent::MouseButtonRelease) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton && m_controls.Label1->rect().contains(mouse->position().toPoint()))
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
