#include "TempTree.h"

#include <fstream>
#include <stdexcept>

namespace veltran::test {

namespace fs = std::filesystem;

fs::path TempTree::AddFile(const std::string& relative)
{
    const fs::path path = Root() / relative;
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    if (!out)
        throw std::runtime_error("cannot create test file " + path.string());
    return path;
}

fs::path TempTree::AddFolder(const std::string& relative)
{
    const fs::path path = Root() / relative;
    fs::create_directories(path);
    return path;
}

fs::path TempTree::AddLink(const std::string& relative, const std::string& target)
{
    const fs::path path = Root() / relative;
    fs::create_directories(path.parent_path());
    fs::create_symlink(target, path);
    return path;
}

} // namespace veltran::test
