#pragma once

#include <filesystem>
#include <string_view>
#include <vector>

namespace veltran {

/// The desktop's open-file dialog and folder browser, modal to the main window. Texts are UTF-8; a
/// cancelled or failed dialog gives an empty result.
class FileDialogs
{
public:
    virtual ~FileDialogs() = default;

    /// Lets the user pick one or more existing files, starting in `startFolder`. `filter` holds
    /// description and pattern texts in pairs separated by "|", patterns within a pair separated by
    /// ";"; a blank filter offers all files. Returns full paths in the dialog's order.
    virtual std::vector<std::filesystem::path>
    ShowFileDialog(std::string_view title, const std::filesystem::path& startFolder, std::string_view filter) = 0;

    /// Lets the user name a file to write, starting in `startFolder` (the dialog's own choice when
    /// empty); the dialog asks before an existing file is replaced. Returns the path, or an empty path
    /// when cancelled.
    virtual std::filesystem::path SaveFileDialog(std::string_view title, const std::filesystem::path& startFolder,
                                                 std::string_view filter) = 0;

    /// Lets the user pick a folder, preselecting `startFolder` when it is not empty. Returns the folder
    /// with a trailing "/", or an empty path when cancelled or the choice has no file-system path.
    virtual std::filesystem::path BrowseForFolder(std::string_view title, const std::filesystem::path& startFolder) = 0;
};

} // namespace veltran
