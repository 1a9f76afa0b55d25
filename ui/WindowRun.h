#pragma once

#include "BatchRun.h"
#include "FileListModel.h"
#include "MainWindowControls.h"
#include "PlatformServices.h"
#include "RuleTable.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <utility>

namespace veltran {

class EventPump;
struct RunRequest;

/// The run started by "开始处理": the same run job as the command line's, with the window's notice,
/// confirmation, running state, progress, stop question and closing messages around it.
class WindowRun
{
public:
    /// Everything handed in must outlive the run.
    WindowRun(const PlatformServices& services, const MainWindowControls& controls, FileListModel& files,
              EventPump& events, RuleTable& rules, const std::filesystem::path& logPath);

    /// Runs over every entry of the list. Refuses a run that would change nothing; asks before
    /// overwriting without backups; shows progress about a hundred times; stops between files when
    /// asked and confirmed; writes the log and reports the outcome, opening the log after a completed
    /// run with failures. Returns at once, writing no log, when the program closes during the run.
    /// With `selectedAsSource`, only the selected entries are converted, each read as the chosen source
    /// whatever it looks like, after a confirmation that says what that means.
    void Start(bool selectedAsSource = false);

    /// Checks the selected entries (`selectedOnly`) or all of them: a dry run with the window's
    /// settings that changes nothing and writes no log, with progress and stop like a run, whose
    /// per-file result opens in the text viewer. The selection stays as it was.
    void Check(bool selectedOnly);

    /// Where runs and checks learn whether to rewrite the charset declarations that name the
    /// source's encoding; without it they leave declarations alone.
    void SetDeclarationsOption(std::function<bool()> rewriteDeclarations)
    {
        m_rewriteDeclarations = std::move(rewriteDeclarations);
    }

private:
    /// The settings the window's options give, or none (after saying why) for a run that would
    /// change nothing.
    std::optional<RunRequest> Request();

    bool Confirmed();
    bool ConfirmedAsSource(const RunSettings& settings, std::size_t count);
    std::vector<std::filesystem::path> SelectedPaths() const;
    void Report(const RunOutcome& outcome);
    void Show(const std::string& text, const char* caption, MessageIcon icon);

    PlatformServices m_services;
    const MainWindowControls& m_controls;
    FileListModel& m_files;
    EventPump& m_events;
    RuleTable& m_rules;
    std::filesystem::path m_logPath;
    std::function<bool()> m_rewriteDeclarations;
};

} // namespace veltran
