#pragma once

#include "FileListModel.h"
#include "MainWindowControls.h"
#include "PerFileOptions.h"
#include "ProgressDisplay.h"

#include <QElapsedTimer>

#include <optional>

namespace veltran {

/// What a run in the window is for: converting the files, or checking what converting them would do.
enum class RunPurpose
{
    Convert,
    Check,
};

/// The main window as a run's host: the progress label and the highlighted entry, the two boxes read
/// before each file, and the return to idle when the loop ends.
class WindowRunHost : public ProgressDisplay, public PerFileOptions
{
public:
    WindowRunHost(const MainWindowControls& controls, FileListModel& files, RunPurpose purpose = RunPurpose::Convert);

    /// "正在处理，已完成 N %"; the entry about to be converted becomes the only highlighted one and
    /// the list's first visible line (within a tenth of a second). A check shows "正在检查，已完成 N %"
    /// and leaves the selection it checks alone.
    void ShowProgress(int percent, std::size_t index) override;
    void RunEnded() override;
    /// The rules apply while "替换内容..." is not unticked.
    bool ApplyRules() override;
    /// A byte-order mark is written while "带BOM" is not unticked.
    bool WriteBom() override;

    /// The list scrolls to the highlighted entry at most this often during a run, and at its end.
    static constexpr int kListScrollMs = 100;

private:
    void ScrollToHighlighted();

    const MainWindowControls& m_controls;
    FileListModel& m_files;
    RunPurpose m_purpose;
    std::size_t m_highlighted = 0;
    QElapsedTimer m_sinceScroll;
    bool m_scrollPending = false;
};

} // namespace veltran
