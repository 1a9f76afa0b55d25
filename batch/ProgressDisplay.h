#pragma once

#include "Status.h"

#include <cstddef>
#include <filesystem>

namespace veltran {

/// Where a run shows how far it has come: the window's label and highlighted entry, or a terminal.
class ProgressDisplay
{
public:
    virtual ~ProgressDisplay() = default;

    /// About a hundred times a run, once the entries up to `index` have finished: "正在处理，已完成 <percent> %".
    virtual void ShowProgress(int percent, std::size_t index) = 0;
    /// Around each conversion, for displays finer than the refresh step: files start in list order, and
    /// finish (as far as the display is told) in list order too, several at once with several jobs.
    /// Called from the run's threads, one call at a time.
    virtual void FileStarting(std::size_t /*index*/, const std::filesystem::path& /*path*/) {}
    virtual void FileFinished(std::size_t /*index*/, const std::filesystem::path& /*path*/, const Status& /*result*/) {}
    /// The loop is over (completed or stopped) and the log is about to be written.
    virtual void RunEnded() {}
};

} // namespace veltran
