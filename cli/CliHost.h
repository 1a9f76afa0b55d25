#pragma once

#include "BatchRun.h"
#include "ProgressBar.h"

#include <cstddef>
#include <ostream>

namespace veltran {

/// The run's host on a terminal: Ctrl-C is the stop control and needs no confirmation, the
/// per-file options are fixed for the run, and each failure is listed as it happens.
class CliHost : public RunHost
{
public:
    /// `progress` may be null for no progress display. `stopAfterFiles` > 0 raises SIGINT after
    /// that many files, the way a Ctrl-C would arrive (a hook for tests of the stop path).
    CliHost(bool applyRules, bool writeBom, std::size_t total, ProgressBar* progress, std::ostream& err,
            std::size_t stopAfterFiles);

    void ShowProgress(int percent, std::size_t index) override;
    bool InputPending() override { return false; }
    void ProcessEvents() override {}
    bool StopRequested() const override;
    void SetStopRequested(bool requested) override;
    bool ConfirmStop() override { return true; }
    bool ApplyRules() override { return m_applyRules; }
    bool WriteBom() override { return m_writeBom; }
    void FileStarting(std::size_t index, const std::filesystem::path& path) override;
    void FileFinished(std::size_t index, const std::filesystem::path& path, const ConvertResult& result) override;

    /// Files whose conversion has been attempted.
    std::size_t FinishedCount() const { return m_finished; }

private:
    bool m_applyRules;
    bool m_writeBom;
    std::size_t m_total;
    ProgressBar* m_progress;
    std::ostream& m_err;
    std::size_t m_stopAfterFiles;
    std::size_t m_finished = 0;
};

} // namespace veltran
