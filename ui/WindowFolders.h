#pragma once

#include <filesystem>

namespace veltran {

/// The places the main window reads and writes besides the files the user chooses, handed in so that
/// tests can point them at temporary folders.
struct WindowFolders
{
    std::filesystem::path logPath;    // where each run leaves its log
    std::filesystem::path homeFolder; // where the open-file dialog starts until files have been added
};

} // namespace veltran
