#pragma once

#include <filesystem>
#include <string>

namespace veltran {

/// The desktop's plain-text viewer, used to show the run log and a list entry's file.
class TextViewer
{
public:
    virtual ~TextViewer() = default;

    /// Starts the viewer on the file in a normal window and returns without waiting for it.
    /// Returns an empty text when the viewer was started, otherwise the reason (UTF-8).
    virtual std::string ShowFile(const std::filesystem::path& file) = 0;
};

} // namespace veltran
