#pragma once

#include "ProgressBar.h"
#include "ProgressDisplay.h"

#include <cstddef>
#include <ostream>

namespace veltran {

/// A run's progress on a terminal: the bar is redrawn for every file started, counting the files
/// finished, and each failure is listed on the error stream in list order as soon as it is known.
class CliProgress : public ProgressDisplay
{
public:
    /// `bar` may be null for no bar.
    CliProgress(std::size_t total, ProgressBar* bar, std::ostream& err);

    void ShowProgress(int percent, std::size_t index) override;
    void FileStarting(std::size_t index, const std::filesystem::path& path) override;
    void FileFinished(std::size_t index, const std::filesystem::path& path, const Status& result) override;
    void RunEnded() override;

private:
    std::size_t m_total;
    ProgressBar* m_bar;
    std::ostream& m_err;
    std::size_t m_finished = 0;
};

} // namespace veltran
