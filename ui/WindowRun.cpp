#include "WindowRun.h"

#include "CheckReport.h"
#include "ClosingMessage.h"
#include "EncodingOptions.h"
#include "EventPump.h"
#include "OpenInNotepad.h"
#include "Reasons.h"
#include "RunJob.h"
#include "RunningState.h"
#include "TrustedRun.h"
#include "WindowRunHost.h"

#include <QCheckBox>
#include <QFile>

namespace veltran {

namespace {

constexpr char kOverwriteWarning[] = "处理过程将覆写源文件并且不再提示，请做好备份措施。虽然您可以随时终止处理过程，"
                                     "但已处理的文件将不可再还原。确定要继续吗？";

} // namespace

WindowRun::WindowRun(const PlatformServices& services, const MainWindowControls& controls, FileListModel& files,
                     EventPump& events, RuleTable& rules, const std::filesystem::path& logPath)
    : m_services(services), m_controls(controls), m_files(files), m_events(events), m_rules(rules), m_logPath(logPath)
{
}

std::optional<RunRequest> WindowRun::Request()
{
    RunRequest request;
    request.settings =
        MakeRunSettings(ChosenSource(m_controls), ChosenTarget(m_controls), m_controls.chkBackup->isChecked());
    // A run tells of the characters it writes as "?", as the check foretells them.
    request.settings.conversion.record.unmappable = true;
    request.settings.conversion.text.rewriteDeclarations = m_rewriteDeclarations && m_rewriteDeclarations();
    if (ChangesNothing(request.settings, m_controls.chkText->checkState() != Qt::Unchecked)) {
        Show(std::string(kNothingToChange), "提示", MessageIcon::Error);
        return std::nullopt;
    }
    return request;
}

void WindowRun::Start(bool selectedAsSource)
{
    std::optional<RunRequest> request = Request();
    if (!request)
        return;
    if (selectedAsSource) {
        request->entries = SelectedPaths();
        if (request->entries.empty() || !ConfirmedAsSource(request->settings, request->entries.size()))
            return;
        request->settings.conversion.text.sourceMode = SourceMode::Trusted;
    }
    if (!request->settings.conversion.disk.keepBackup && !Confirmed())
        return;

    if (!selectedAsSource)
        request->entries = m_files.Paths();
    m_files.DeselectAll();
    EnterRunningState(m_controls, QStringLiteral("正在处理，请稍侯..."));
    // The panel is drawn before the first file.
    m_events.ProcessEvents();

    request->logPath = m_logPath;
    WindowRunHost host(m_controls, m_files);
    const RunOutcome outcome = RunJob(*request, m_rules, RunRoles{host, m_events, host});
    if (outcome.abandoned)
        return; // the program is closing; the run leaves no log
    Report(outcome);
}

void WindowRun::Check(bool selectedOnly)
{
    std::optional<RunRequest> request = Request();
    if (!request)
        return;
    request->settings.conversion.disk.dryRun = true;
    request->keepRecords = true;
    request->entries = selectedOnly ? SelectedPaths() : m_files.Paths();

    EnterRunningState(m_controls, QStringLiteral("正在检查，请稍侯..."));
    m_events.ProcessEvents();
    WindowRunHost host(m_controls, m_files, RunPurpose::Check);
    const RunOutcome outcome = RunJob(*request, m_rules, RunRoles{host, m_events, host});
    if (outcome.abandoned)
        return;
    m_services.textViewer.ShowText("检查结果", CheckReportText(*request, outcome));
}

std::vector<std::filesystem::path> WindowRun::SelectedPaths() const
{
    std::vector<std::filesystem::path> paths;
    for (std::size_t i = 0; i < m_files.Count(); ++i) {
        if (m_files.IsSelected(i))
            paths.push_back(m_files.Entry(i));
    }
    return paths;
}

bool WindowRun::ConfirmedAsSource(const RunSettings& settings, std::size_t count)
{
    const MessageRequest request = StandardMessage(
        ConvertAsSourceQuestion(settings.sourceName, settings.targetName, count), kConvertAsSourceCaption,
        MessageIcon::Question, MessageButtons::OkCancel, DefaultButton::Second);
    return m_services.messageBox.ShowMessageBox(request) == MessageResult::Ok;
}

bool WindowRun::Confirmed()
{
    MessageRequest request = StandardMessage(kOverwriteWarning, "开始", MessageIcon::Question, MessageButtons::OkCancel,
                                             DefaultButton::Second);
    request.labels = "OK，知道了,我再看看";
    return m_services.messageBox.ShowMessageBox(request) != MessageResult::Cancel;
}

void WindowRun::Report(const RunOutcome& outcome)
{
    // The conversions stand; only the record of them is missing, and an old log must not stand in for it.
    if (!outcome.logWritten)
        Show("运行日志无法写入：" + QFile::decodeName(m_logPath.c_str()).toStdString() + "：" +
                 ReasonText(outcome.logWritten, Language::Chinese),
             "错误", MessageIcon::Error);

    const ClosingMessage closing = MakeClosingMessage(outcome, QFile::decodeName(m_logPath.c_str()).toStdString());
    Show(closing.text, closing.caption.c_str(), closing.icon);
    if (!closing.showLog)
        return;
    if (outcome.logWritten)
        OpenInNotepad(m_services.textViewer, m_services.messageBox, m_logPath, EncodingId::Utf8);
    else
        m_services.textViewer.ShowText("运行日志", outcome.log);
}

void WindowRun::Show(const std::string& text, const char* caption, MessageIcon icon)
{
    m_services.messageBox.ShowMessageBox(StandardMessage(text, caption, icon));
}

} // namespace veltran
