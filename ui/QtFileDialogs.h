#pragma once

#include "FileDialogs.h"

#include <QStringList>

namespace veltran {

/// The open-file dialog and the folder browser on QFileDialog, owned by the active window.
class QtFileDialogs : public FileDialogs
{
public:
    std::vector<std::filesystem::path> ShowFileDialog(std::string_view title, const std::filesystem::path& startFolder,
                                                      std::string_view filter) override;
    std::filesystem::path SaveFileDialog(std::string_view title, const std::filesystem::path& startFolder,
                                         std::string_view filter) override;
    std::filesystem::path BrowseForFolder(std::string_view title, const std::filesystem::path& startFolder) override;
};

/// The name filters QFileDialog takes for a "description|patterns|..." filter: the description is
/// kept for display and the ";"-separated patterns follow in parentheses; "*.*" means every file.
/// A blank filter gives the single entry for all files; a description without patterns is dropped.
QStringList QtNameFilters(std::string_view filter);

} // namespace veltran
