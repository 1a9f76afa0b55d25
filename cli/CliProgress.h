#pragma once

#include "ProgressBar.h"
#include "ProgressDisplay.h"

#include <cstddef>
#include <ostream>

namespace veltran {

/// A run's progress on a terminal: the bar is redrawn for every file, and each failure is listed on
/// the error stream as it happens.
class CliProgress : public ProgressDisplay
{
public:
    /// `bar` may be null for no bar. `stopAfterFiles` > 0 raises SIGINT after that many files, the
    /// way a Ctrl-C would arrive (a hook for tests of the stop path).
    CliProgress(std::size_t total, ProgressBar* bar, std::ostream& err, std::size_t stopAfterFiles);

    void ShowProgress(int percent, std::size_t index) override;
    void FileStarting(std::size_t index, const std::filesystem::path& path) override;
    void FileFinished(std::size_t index, const std::filesystem::path& path, const Status& result) override;
    void RunEnded() override;

private:
    std::size_t m_total;
    ProgressBar* m_bar;
    std::ostream& m_err;
    std::size_t m_stopAfterFiles;
    std::size_t m_finished = 0;
};

} // namespace veltran
