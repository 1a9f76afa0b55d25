#pragma once

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace veltran::test {

/// Nested folders of 250-byte names under `root` until their path is more than `depth` bytes long,
/// with `page` (holding `content`) in the deepest. Made and removed through descriptors, since the
/// whole paths are too long for the system to take.
class DeepTree
{
public:
    DeepTree(const std::filesystem::path& root, std::size_t depth, const std::string& page, const std::string& content)
        : m_root(root)
    {
        const std::string level(250, 'd');
        int fd = ::open(root.c_str(), O_RDONLY | O_DIRECTORY);
        for (std::size_t length = root.native().size(); length <= depth; length += level.size() + 1) {
            if (::mkdirat(fd, level.c_str(), 0755) != 0)
                throw std::runtime_error("mkdirat failed");
            const int next = ::openat(fd, level.c_str(), O_RDONLY | O_DIRECTORY);
            ::close(fd);
            fd = next;
        }
        const int file = ::openat(fd, page.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        const bool written = file >= 0 && ::write(file, content.data(), content.size()) == ssize_t(content.size());
        ::close(file);
        ::close(fd);
        if (!written)
            throw std::runtime_error("cannot write the deep page");
    }
    ~DeepTree()
    {
        const int fd = ::open(m_root.c_str(), O_RDONLY | O_DIRECTORY);
        RemoveInside(fd);
        ::close(fd);
    }
    DeepTree(const DeepTree&) = delete;
    DeepTree& operator=(const DeepTree&) = delete;

private:
    // Empties the folder open as `fd`, at any depth.
    static void RemoveInside(int fd)
    {
        DIR* listing = ::fdopendir(::dup(fd));
        if (listing == nullptr)
            return;
        while (const dirent* entry = ::readdir(listing)) {
            const std::string name = entry->d_name;
            if (name == "." || name == "..")
                continue;
            if (::unlinkat(fd, name.c_str(), 0) == 0)
                continue;
            const int inner = ::openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW);
            if (inner >= 0) {
                RemoveInside(inner);
                ::close(inner);
            }
            ::unlinkat(fd, name.c_str(), AT_REMOVEDIR);
        }
        ::closedir(listing);
    }

    std::filesystem::path m_root;
};

} // namespace veltran::test
