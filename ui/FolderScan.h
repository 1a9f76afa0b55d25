#pragma once

#include "FileListModel.h"
#include "MainWindowControls.h"
#include "PlatformServices.h"

#include <filesystem>
#include <string>

namespace veltran {

class EventPump;

/// The add-folder command and the folder scans of dropped folders: finds the matching files of a
/// folder tree and appends them to the list, breadth first, with the information panel showing the
/// count found so far. Escape and the stop button end a scan early, keeping what was found.
class FolderScan
{
public:
    /// Everything handed in must outlive the scan.
    FolderScan(const PlatformServices& services, const MainWindowControls& controls, FileListModel& files,
               EventPump& events);

    /// The add-folder command: the folder browser ("选择目录...", the last folder preselected), the
    /// filter box ("过滤条件", the last filter or the default, ";" and "," shown as "|"), then the scan.
    /// A cancelled browser or an empty filter adds nothing.
    void AddFolder();

    /// Scans `folder` with `filter` ("|" between patterns) and appends what it finds, then what could
    /// not be searched or examined, which a warning box names with the reasons. Another box names the
    /// files staged by killed runs that the scan met.
    void ScanAndAppend(const std::filesystem::path& folder, const std::string& filter);

    /// The last filter typed, with ";" and "," as "|"; the default filter before any was typed.
    std::string CurrentFilter() const;

    const std::filesystem::path& LastFolder() const { return m_lastFolder; }

private:
    bool Progress(std::size_t found);

    PlatformServices m_services;
    const MainWindowControls& m_controls;
    FileListModel& m_files;
    EventPump& m_events;
    std::filesystem::path m_lastFolder;
    std::string m_lastFilter;
};

} // namespace veltran
