#pragma once

#include "BatchRun.h"
#include "FileListModel.h"
#include "MainWindowControls.h"
#include "PlatformServices.h"
#include "RuleTable.h"

#include <QObject>

#include <cstddef>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

namespace veltran {

struct RunRequest;

/// The run started by "开始处理": the same run job as the command line's, with the window's notice,
/// confirmation, running state, progress, stop question and closing messages around it. The run
/// converts on threads of its own; the window's thread only shows what it is told, in order, and
/// stays free to repaint and answer.
class WindowRun
{
public:
    /// Everything handed in must outlive the window run.
    WindowRun(const PlatformServices& services, const MainWindowControls& controls, FileListModel& files,
              RuleTable& rules, const std::filesystem::path& logPath);
    /// A run still going is closed (Close) and waited for: the files converting finish.
    ~WindowRun();

    /// Starts a run over every entry of the list and returns; the run reports when it ends. Refuses a
    /// run that would change nothing; asks before overwriting without backups; shows progress about a
    /// hundred times; stops between files when asked and confirmed; writes the log and reports the
    /// outcome, opening the log after a completed run with failures. With `selectedAsSource`, only the
    /// selected entries are converted, each read as the chosen source whatever it looks like, after a
    /// confirmation that says what that means. Does nothing while a run is going.
    void Start(bool selectedAsSource = false);

    /// Checks the selected entries (`selectedOnly`) or all of them: a dry run with the window's
    /// settings that changes nothing and writes no log, with progress and stop like a run, whose
    /// per-file result opens in the text viewer. The selection stays as it was.
    void Check(bool selectedOnly);

    /// Whether a run or check is going.
    bool Running() const { return m_job != nullptr; }

    /// The stop button or Escape: during a run no new file starts while "确定要终止当前的处理过程吗？"
    /// is asked; OK stops the run before the next file, Cancel lets it go on. Returns false, asking
    /// nothing, when no run is going.
    bool AskToStop();

    /// The program is closing: no new file starts, the files converting finish, no log is written
    /// and nothing is reported.
    void Close();

    /// Called on the window's thread once a run or check has ended and been reported.
    void SetFinishedHandler(std::function<void()> finished) { m_finished = std::move(finished); }

    /// Where runs and checks learn whether to rewrite the charset declarations that name the
    /// source's encoding; without it they leave declarations alone.
    void SetDeclarationsOption(std::function<bool()> rewriteDeclarations)
    {
        m_rewriteDeclarations = std::move(rewriteDeclarations);
    }

    /// Files converted at once by later runs (DefaultJobs() at first).
    void SetJobs(std::size_t jobs) { m_jobs = jobs; }
    /// The file-system calls of later runs, a seam for tests; must outlive them.
    void SetFileCalls(const FileSystemCalls& calls) { m_calls = &calls; }

private:
    struct Job;

    /// The settings the window's options give, or none (after saying why) for a run that would
    /// change nothing.
    std::optional<RunRequest> Request();

    void Launch(RunRequest request, bool check);
    void Ended(RunOutcome outcome);
    bool Confirmed();
    bool ConfirmedAsSource(const RunSettings& settings, std::size_t count);
    PathList SelectedPaths() const;
    void Report(const RunOutcome& outcome);
    void Show(const std::string& text, const char* caption, MessageIcon icon);

    PlatformServices m_services;
    const MainWindowControls& m_controls;
    FileListModel& m_files;
    RuleTable& m_rules;
    std::filesystem::path m_logPath;
    std::function<bool()> m_rewriteDeclarations;
    std::function<void()> m_finished;
    std::size_t m_jobs;
    const FileSystemCalls* m_calls;
    QObject m_context; // where the run's threads queue what the window is to show
    std::unique_ptr<Job> m_job;
};

} // namespace veltran
