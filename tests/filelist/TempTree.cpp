#include "TempTree.h"

#include <atomic>
#include <fstream>
#include <random>
#include <stdexcept>
#include <system_error>

#include <unistd.h>

namespace veltran::test {

namespace fs = std::filesystem;

TempTree::TempTree()
{
    static std::atomic<unsigned> counter{0};
    std::random_device random;
    const std::string name = "veltran-filelist-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + "-" +
                             std::to_string(random());
    m_root = fs::temp_directory_path() / name;
    fs::create_directory(m_root);
}

TempTree::~TempTree()
{
    std::error_code error;
    // A test may have locked a folder; give every folder its rights back so it can be removed.
    for (auto it = fs::recursive_directory_iterator(m_root, fs::directory_options::skip_permission_denied, error);
         !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        if (it->is_directory(error) && !it->is_symlink(error))
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, error);
    }
    fs::permissions(m_root, fs::perms::owner_all, fs::perm_options::add, error);
    fs::remove_all(m_root, error);
}

fs::path TempTree::AddFile(const std::string& relative)
{
    const fs::path path = m_root / relative;
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    if (!out)
        throw std::runtime_error("cannot create test file " + path.string());
    return path;
}

fs::path TempTree::AddFolder(const std::string& relative)
{
    const fs::path path = m_root / relative;
    fs::create_directories(path);
    return path;
}

fs::path TempTree::AddLink(const std::string& relative, const std::string& target)
{
    const fs::path path = m_root / relative;
    fs::create_directories(path.parent_path());
    fs::create_symlink(target, path);
    return path;
}

} // namespace veltran::test
