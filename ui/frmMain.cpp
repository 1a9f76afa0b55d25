#include "frmMain.h"

#include "AboutBox.h"
#include "CharsetHeader.h"
#include "DateTimeText.h"
#include "EncodingOptions.h"
#include "FileListView.h"
#include "ListCommands.h"
#include "ListMenu.h"
#include "MainWindowBuilder.h"
#include "MainWindowDesign.h"
#include "OpenInNotepad.h"
#include "PathsWarning.h"
#include "RunningState.h"
#include "TrustedRun.h"
#include "WindowResize.h"
#include "frmText.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace veltran {

namespace {

// The add-files dialog's filter: description and patterns in pairs, the first pair shown first.
constexpr char kAddFilesFilter[] = "网页文件(*.htm; *.html; *.xml; *.shtml)|*.htm;*.html;*.xml;*.shtml|"
                                   "源码文件(*.asp; *.php; *.aspx; *.js)|*.asp;*.php;*.aspx;*.js|"
                                   "文本文件(*.txt)|*.txt|所有文件(*.*)|*.*";

} // namespace

frmMain::frmMain(const PlatformServices& services, RuleTable& rules, const WindowFolders& folders, QWidget* parent)
    : QWidget(parent), m_services(services), m_rules(rules), m_folders(folders),
      m_ruleKeeper(
          *this, m_resizer, [this] { return CurrentState(); }, [this] { Form_Resize(); }),
      m_scan(services, m_controls, m_files, m_events), m_run(services, m_controls, m_files, rules, folders.logPath),
      m_lastAddedFrom(folders.homeFolder)
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
    connect(c.lstFiles, &FileListView::keyPressed, this, &frmMain::lstFiles_KeyPress);
    connect(c.lstFiles, &FileListView::pathsDropped, this, &frmMain::AddPaths);

    // Key preview: the window sees every key before the control that has the focus.
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);
    // The check, converting as the source and the declarations are beyond the designed window, so they
    // live in the list's context menu and leave the layout as it is.
    m_listMenu = new ListMenu(
        *c.lstFiles, m_files, [this](bool selectedOnly) { lstFiles_Check(selectedOnly); },
        [this] { lstFiles_ConvertAsSource(); }, [this] { return ChosenSource(m_controls).has_value(); }, this);
    m_run.SetDeclarationsOption([this] { return m_listMenu->RewriteDeclarations(); });
    m_run.SetFinishedHandler([this] { emit runFinished(); });
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
    if (!m_resizer.Apply(*this, CurrentState()))
        return;
    for (QWidget* control : m_controls.LayoutOrder())
        ApplyLayout(*control);
    FitInfoPanel(m_controls);
}

void frmMain::Form_KeyDown(int keyCode)
{
    if (keyCode == kKeyEscape)
        cmdStopConvert_Click();
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
    if (!m_run.AskToStop())
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

void frmMain::RunBusy(const std::function<void()>& work)
{
    m_busy = true;
    work();
    m_busy = false;
}

void frmMain::cmdStartConvert_Click()
{
    m_run.Start();
}

void frmMain::lstFiles_Check(bool selectedOnly)
{
    if (m_files.Count() == 0 || (selectedOnly && m_files.SelectedCount() == 0))
        return;
    m_run.Check(selectedOnly);
}

void frmMain::lstFiles_ConvertAsSource()
{
    if (m_files.SelectedCount() == 0 || !ChosenSource(m_controls))
        return;
    m_run.Start(true);
}

void frmMain::cmdAddFile_Click()
{
    const std::vector<std::filesystem::path> files =
        m_services.fileDialogs.ShowFileDialog("添加文件...", m_lastAddedFrom, kAddFilesFilter);
    if (files.empty())
        return;
    m_lastAddedFrom = files.front().parent_path();
    m_files.Append(files);
    SetListDependentEnabled(m_controls, true);
}

void frmMain::cmdAddDir_Click()
{
    RunBusy([this] { m_scan.AddFolder(); });
    if (!m_scan.LastFolder().empty())
        m_lastAddedFrom = m_scan.LastFolder();
}

void frmMain::AddPaths(const std::vector<std::filesystem::path>& paths)
{
    std::vector<std::filesystem::path> files;
    std::vector<std::filesystem::path> leftOut;
    for (const std::filesystem::path& path : paths) {
        std::error_code error;
        if (std::filesystem::is_directory(path, error)) {
            if (!files.empty())
                m_files.Append(std::exchange(files, {}));
            RunBusy([&] { m_scan.ScanAndAppend(path, m_scan.CurrentFilter()); });
            if (m_events.Abandoned())
                return;
        } else if (std::filesystem::is_regular_file(path, error)) {
            files.push_back(path);
        } else {
            leftOut.push_back(path);
        }
    }
    m_files.Append(files);
    SetListDependentEnabled(m_controls, m_files.Count() > 0);
    // A mistyped name on the command line must not vanish unnoticed.
    if (!leftOut.empty())
        m_services.messageBox.ShowMessageBox(
            PathsWarning("有 " + std::to_string(leftOut.size()) + " 个路径不存在或不是普通文件，没有加入列表：",
                         leftOut, "添加文件"));
}

void frmMain::cmdRemoveFile_Click()
{
    if (m_files.SelectedCount() > 0)
        RemoveEntries(false);
}

void frmMain::cmdRemoveUnsel_Click()
{
    RemoveEntries(true);
}

void frmMain::RemoveEntries(bool invert)
{
    veltran::RemoveEntries(m_files, invert);
    m_controls.lstFiles->setFocus();
    if (m_files.Count() < 1)
        SetListDependentEnabled(m_controls, false);
}

void frmMain::cmdRemoveAll_Click()
{
    m_files.Clear();
    SetListDependentEnabled(m_controls, false);
}

void frmMain::chkText_Click()
{
    // Made once, for the target chosen at the first click; MakeCharsetRule leaves a made rule alone.
    MakeCharsetRule(m_rules, ChosenTarget(m_controls).value_or(EncodingId::Gb), NowText());
    if (m_controls.chkText->isChecked()) {
        frmText editor(m_services, m_rules, m_ruleEditorIndex, this);
        editor.exec();
    }
}

void frmMain::lstFiles_DblClick()
{
    const std::optional<std::size_t> current = m_files.CurrentIndex();
    OpenInNotepad(current ? m_files.Entry(*current) : std::filesystem::path(),
                  ChosenSource(m_controls).value_or(EncodingId::Gb));
}

void frmMain::lstFiles_KeyPress(int keyCode)
{
    if ((keyCode == Qt::Key_Return || keyCode == Qt::Key_Enter) && m_files.CurrentIndex())
        lstFiles_DblClick();
}

void frmMain::OpenInNotepad(const std::filesystem::path& path, EncodingId encoding)
{
    veltran::OpenInNotepad(m_services.textViewer, m_services.messageBox, path, encoding);
}

} // namespace veltran
