#include "FolderScan.h"

#include "EventPump.h"
#include "FindFiles.h"
#include "PathsWarning.h"
#include "Reasons.h"
#include "RunningState.h"

#include <QLabel>

namespace veltran {

namespace {

constexpr char kScanning[] = "查找文件，请稍侯...";
constexpr char kFilterPrompt[] = "文件类型：\r\n(不同类型以 “|”、“;”或“,”分隔)";

} // namespace

FolderScan::FolderScan(const PlatformServices& services, const MainWindowControls& controls, FileListModel& files,
                       EventPump& events)
    : m_services(services), m_controls(controls), m_files(files), m_events(events)
{
}

std::string FolderScan::CurrentFilter() const
{
    return m_lastFilter.empty() ? std::string(kDefaultFilter) : NormalizeFilter(m_lastFilter);
}

void FolderScan::AddFolder()
{
    const std::filesystem::path folder = m_services.fileDialogs.BrowseForFolder("选择目录...", m_lastFolder);
    if (folder.empty())
        return;
    m_lastFolder = folder;
    const std::string answer = m_services.inputBox.Ask(kFilterPrompt, "过滤条件", CurrentFilter());
    if (answer.empty())
        return;
    m_lastFilter = answer;
    ScanAndAppend(m_lastFolder, NormalizeFilter(answer));
}

void FolderScan::ScanAndAppend(const std::filesystem::path& folder, const std::string& filter)
{
    EnterRunningState(m_controls, QString::fromUtf8(kScanning));
    m_events.ClearStop();
    // The panel is drawn before the search starts.
    m_events.ProcessEvents();
    const FindFilesResult found =
        FindFiles(folder, filter, [this](std::size_t count, const std::filesystem::path&) { return Progress(count); });
    if (m_events.Abandoned())
        return; // the program is closing
    m_controls.lblInfo->setText(QString::fromUtf8(kScanning));
    LeaveRunningState(m_controls);

    // What could not be searched or examined goes in the list too, so the run fails it in the open
    // rather than let it vanish; a folder gone since it was chosen has nothing left to fail.
    std::vector<std::filesystem::path> failed;
    std::vector<std::string> reasons;
    std::vector<std::filesystem::path> gone;
    for (const ScanFailure& failure : found.failures) {
        if (failure.reason.code == StatusCode::NotFound) {
            gone.push_back(failure.path);
            continue;
        }
        failed.push_back(failure.path);
        reasons.push_back(ReasonText(failure.reason, Language::Chinese));
    }
    PathList entries = found.files;
    entries.Append(failed);
    if (!entries.empty())
        m_files.Append(entries);
    SetListDependentEnabled(m_controls, m_files.Count() > 0);
    if (!failed.empty())
        m_services.messageBox.ShowMessageBox(PathsWarning("有 " + std::to_string(failed.size()) +
                                                              " 个文件或目录无法读取，已加入列表，处理时将记为失败：",
                                                          failed, "添加目录", reasons));
    if (!gone.empty())
        m_services.messageBox.ShowMessageBox(
            PathsWarning("有 " + std::to_string(gone.size()) + " 个目录已不存在，没有加入列表：", gone, "添加目录"));
    if (!found.strays.empty())
        m_services.messageBox.ShowMessageBox(
            PathsWarning("发现 " + std::to_string(found.strays.size()) +
                             " 个被中断的处理留下的临时文件，可用 veltran-cli --clean-staged 删除：",
                         found.strays, "添加目录"));
}

bool FolderScan::Progress(std::size_t found)
{
    if (!m_events.InputMayBeWaiting())
        return true;
    ShowInfo(m_controls, QString::fromUtf8(kScanning) + QStringLiteral("已找到 %1 个文件，按 Esc 停止").arg(found));
    m_events.ProcessEvents();
    return !m_events.StopRequested() && !m_events.Abandoned();
}

} // namespace veltran
