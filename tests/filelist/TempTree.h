#pragma once

#include "TempDir.h"

#include <filesystem>
#include <string>

namespace veltran::test {

/// A temporary folder tree made for one test, with helpers to add files, folders and links.
class TempTree
{
public:
    const std::filesystem::path& Root() const { return m_dir.Path(); }

    /// Creates an empty file at `relative` (raw bytes allowed), making missing parent folders.
    std::filesystem::path AddFile(const std::string& relative);

    /// Creates the folder `relative` and its missing parents.
    std::filesystem::path AddFolder(const std::string& relative);

    /// Creates a symbolic link at `relative` pointing at `target` (stored as given).
    std::filesystem::path AddLink(const std::string& relative, const std::string& target);

private:
    TempDir m_dir;
};

} // namespace veltran::test
