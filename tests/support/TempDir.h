#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace veltran::test {

/// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir
{
public:
    TempDir()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "veltran-test-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("mkdtemp failed");
        m_path = pattern;
        // Readable by all, like any folder a user makes, so a test may scan it as another user.
        std::filesystem::permissions(m_path, std::filesystem::perms::owner_all | std::filesystem::perms::group_read |
                                                 std::filesystem::perms::group_exec |
                                                 std::filesystem::perms::others_read |
                                                 std::filesystem::perms::others_exec);
    }
    ~TempDir()
    {
        std::error_code ec;
        // Give back write permission that a test may have taken away, so everything can go.
        for (auto it = std::filesystem::recursive_directory_iterator(m_path, ec);
             it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
            if (it->is_directory(ec) && !it->is_symlink(ec))
                std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                             std::filesystem::perm_options::add, ec);
        std::filesystem::permissions(m_path, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(m_path, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    std::filesystem::path operator/(const std::string& name) const { return m_path / name; }

    /// Names of everything in the folder, for checking that nothing was left behind.
    std::vector<std::string> Entries() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(m_path))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    std::filesystem::path m_path;
};

inline void WriteFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

inline void WriteFile(const std::filesystem::path& path, const std::string& bytes)
{
    WriteFile(path, std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
}

inline std::vector<std::uint8_t> ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path.string());
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

/// Everything under the folder by relative path: a file as its bytes, a link as where it points,
/// other kinds by name; for checking that something changed nothing.
inline std::map<std::string, std::string> Snapshot(const std::filesystem::path& folder)
{
    std::map<std::string, std::string> entries;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        const std::string name = std::filesystem::relative(entry.path(), folder).string();
        if (entry.is_symlink()) {
            entries[name] = "link to " + std::filesystem::read_symlink(entry.path()).string();
        } else if (entry.is_regular_file()) {
            const std::vector<std::uint8_t> bytes = ReadFile(entry.path());
            entries[name] = std::string(bytes.begin(), bytes.end());
        } else {
            entries[name] = entry.is_directory() ? "folder" : "special file";
        }
    }
    return entries;
}

/// Bytes of a string literal that may hold any byte value, e.g. Bytes("\xBC\xF2").
inline std::vector<std::uint8_t> Bytes(const std::string& s)
{
    return {s.begin(), s.end()};
}

} // namespace veltran::test
