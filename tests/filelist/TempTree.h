#pragma once

#include <filesystem>
#include <string>

namespace veltran::test {

/// A folder tree made for one test under the system's temporary folder and removed again
/// (permissions restored first) when the object goes away.
class TempTree
{
public:
    TempTree();
    ~TempTree();
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    const std::filesystem::path& Root() const { return m_root; }

    /// Creates an empty file at `relative` (raw bytes allowed), making missing parent folders.
    std::filesystem::path AddFile(const std::string& relative);

    /// Creates the folder `relative` and its missing parents.
    std::filesystem::path AddFolder(const std::string& relative);

    /// Creates a symbolic link at `relative` pointing at `target` (stored as given).
    std::filesystem::path AddLink(const std::string& relative, const std::string& target);

private:
    std::filesystem::path m_root;
};

} // namespace veltran::test
