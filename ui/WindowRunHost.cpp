#include "WindowRunHost.h"

#include "FileListView.h"
#include "RunningState.h"

#include <QCheckBox>
#include <QLabel>

namespace veltran {

WindowRunHost::WindowRunHost(const MainWindowControls& controls, FileListModel& files, RunPurpose purpose)
    : m_controls(controls), m_files(files), m_purpose(purpose)
{
}

void WindowRunHost::ShowProgress(int percent, std::size_t index)
{
    const bool check = m_purpose == RunPurpose::Check;
    ShowInfo(m_controls,
             (check ? QStringLiteral("正在检查，已完成 %1 %") : QStringLiteral("正在处理，已完成 %1 %")).arg(percent));
    if (check)
        return;
    if (m_highlighted < m_files.Count())
        m_files.SetSelected(m_highlighted, false);
    m_files.SetSelected(index, true);
    m_highlighted = index;
    // Scrolling repaints the whole list, which costs more than converting a small file: the list
    // scrolls ten times a second at most, which looks the same to a person, and ends where it should.
    m_scrollPending = true;
    if (!m_sinceScroll.isValid() || m_sinceScroll.hasExpired(kListScrollMs))
        ScrollToHighlighted();
}

void WindowRunHost::RunEnded()
{
    if (m_scrollPending)
        ScrollToHighlighted();
    LeaveRunningState(m_controls);
}

void WindowRunHost::ScrollToHighlighted()
{
    m_controls.lstFiles->SetTopIndex(m_highlighted);
    m_sinceScroll.start();
    m_scrollPending = false;
}

bool WindowRunHost::ApplyRules()
{
    return m_controls.chkText->checkState() != Qt::Unchecked;
}

bool WindowRunHost::WriteBom()
{
    return m_controls.chkU8BOM->checkState() != Qt::Unchecked;
}

} // namespace veltran
