#include "WindowRun.h"

#include "CheckReport.h"
#include "ClosingMessage.h"
#include "EncodingOptions.h"
#include "OpenInNotepad.h"
#include "QueuedProgress.h"
#include "Reasons.h"
#include "RunJob.h"
#include "RunningState.h"
#include "SharedRunControl.h"
#include "StopQuestion.h"
#include "TrustedRun.h"
#include "WindowRunHost.h"

#include <QCheckBox>
#include <QFile>

#include <thread>

namespace veltran {

namespace {

constexpr char kOverwriteWarning[] = "处理过程将覆写源文件并且不再提示，请做好备份措施。虽然您可以随时终止处理过程，"
                                     "但已处理的文件将不可再还原。确定要继续吗？";

} // namespace

// One run or check while it goes: what it was asked, the window's side of it and the thread it
// converts on.
struct WindowRun::Job
{
    Job(RunRequest asked, const MainWindowControls& controls, FileListModel& files, bool isCheck, QObject& context)
        : request(std::move(asked)), check(isCheck),
          host(controls, files, check ? RunPurpose::Check : RunPurpose::Convert), progress(host, context),
          control(controls.chkText->checkState() != Qt::Unchecked, controls.chkU8BOM->checkState() != Qt::Unchecked)
    {
    }

    RunRequest request;
    bool check;
    WindowRunHost host;      // on the window's thread
    QueuedProgress progress; // on the run's threads, passing on to `host`
    SharedRunControl control;
    QMetaObject::Connection bomWatch;
    std::thread thread;
    bool asking = false;                       // the stop question is open
    std::optional<RunOutcome> endedWhileAsked; // reported once the question is answered
};

WindowRun::WindowRun(const PlatformServices& services, const MainWindowControls& controls, FileListModel& files,
                     RuleTable& rules, const std::filesystem::path& logPath)
    : m_services(services), m_controls(controls), m_files(files), m_rules(rules), m_logPath(logPath),
      m_jobs(DefaultJobs()), m_calls(&SystemFileCalls())
{
}

WindowRun::~WindowRun()
{
    if (!m_job)
        return;
    m_job->control.Close();
    m_job->thread.join();
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
    if (m_job)
        return;
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
    request->logPath = m_logPath;
    Launch(std::move(*request), false);
}

void WindowRun::Check(bool selectedOnly)
{
    if (m_job)
        return;
    std::optional<RunRequest> request = Request();
    if (!request)
        return;
    request->settings.conversion.disk.dryRun = true;
    request->settings.keepRecords = true;
    request->entries = selectedOnly ? SelectedPaths() : m_files.Paths();
    EnterRunningState(m_controls, QStringLiteral("正在检查，请稍侯..."));
    Launch(std::move(*request), true);
}

void WindowRun::Launch(RunRequest request, bool check)
{
    request.settings.jobs = m_jobs;
    m_job = std::make_unique<Job>(std::move(request), m_controls, m_files, check, m_context);
    Job& job = *m_job;
    // "带BOM" stays enabled during a run and applies from the next file started.
    job.bomWatch = QObject::connect(m_controls.chkU8BOM, &QCheckBox::stateChanged, &m_context,
                                    [&job](int state) { job.control.SetWriteBom(state != Qt::Unchecked); });
    job.thread = std::thread([this, &job] {
        auto outcome = std::make_shared<RunOutcome>(
            RunJob(job.request, m_rules, RunRoles{job.progress, job.control, job.control}, NowText, *m_calls));
        QMetaObject::invokeMethod(
            &m_context, [this, outcome] { Ended(std::move(*outcome)); }, Qt::QueuedConnection);
    });
}

void WindowRun::Ended(RunOutcome outcome)
{
    if (m_job->asking) {
        m_job->endedWhileAsked = std::move(outcome);
        return;
    }
    m_job->thread.join();
    QObject::disconnect(m_job->bomWatch);
    const std::unique_ptr<Job> job = std::move(m_job);
    // A closing program reports nothing, and its run leaves no log.
    if (!outcome.abandoned) {
        if (job->check)
            m_services.textViewer.ShowText("检查结果", CheckReportText(job->request, outcome));
        else
            Report(outcome);
    }
    if (m_finished)
        m_finished();
}

bool WindowRun::AskToStop()
{
    if (!m_job)
        return false;
    if (m_job->asking)
        return true;
    Job& job = *m_job;
    job.asking = true;
    job.control.Hold(true);
    if (ConfirmStop(m_services.messageBox))
        job.control.Stop();
    job.control.Hold(false);
    job.asking = false;
    if (job.endedWhileAsked)
        Ended(std::move(*job.endedWhileAsked));
    return true;
}

void WindowRun::Close()
{
    if (m_job)
        m_job->control.Close();
}

PathList WindowRun::SelectedPaths() const
{
    PathList paths;
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
