#pragma once

#include "FileSystemCalls.h"

#include <functional>
#include <string>
#include <vector>

namespace veltran::test {

/// The system's file-system calls with a hook before each one: the hook may change the disk (someone
/// else writing the file), end the process (a crash at that moment), or fail the call with an errno.
/// Every call is traced as "<call> <file name>", for checking the order of the steps.
class ScriptedFileCalls : public FileSystemCalls
{
public:
    /// Returns 0 to make the call, or the errno value to fail it with.
    using Hook = std::function<int(const std::string& call, const std::filesystem::path& path)>;

    explicit ScriptedFileCalls(Hook hook = {}) : m_hook(std::move(hook)) {}

    int Open(const std::filesystem::path& path, int flags) const override
    {
        const int error = Before("open", path);
        return error != 0 ? -error : FileSystemCalls::Open(path, flags);
    }
    long Read(int fd, void* buffer, std::size_t size) const override
    {
        const int error = Before("read", {});
        return error != 0 ? -error : FileSystemCalls::Read(fd, buffer, size);
    }
    int FileStat(int fd, struct stat& info) const override
    {
        const int error = Before("fstat", {});
        return error != 0 ? error : FileSystemCalls::FileStat(fd, info);
    }
    int Rename(const std::filesystem::path& from, const std::filesystem::path& to) const override
    {
        const int error = Before("rename", to);
        return error != 0 ? error : FileSystemCalls::Rename(from, to);
    }
    int Link(const std::filesystem::path& from, const std::filesystem::path& to) const override
    {
        const int error = Before("link", to);
        return error != 0 ? error : FileSystemCalls::Link(from, to);
    }
    int Stat(const std::filesystem::path& path, struct stat& info) const override
    {
        const int error = Before("stat", path);
        return error != 0 ? error : FileSystemCalls::Stat(path, info);
    }
    int LinkStat(const std::filesystem::path& path, struct stat& info) const override
    {
        const int error = Before("lstat", path);
        return error != 0 ? error : FileSystemCalls::LinkStat(path, info);
    }
    int OpenUnnamed(const std::filesystem::path& folder, mode_t mode) const override
    {
        unnamedModes.push_back(mode);
        const int error = Before("open-unnamed", folder);
        return error != 0 ? -error : FileSystemCalls::OpenUnnamed(folder, mode);
    }
    int LinkUnnamed(int fd, const std::filesystem::path& to) const override
    {
        const int error = Before("link-unnamed", to);
        return error != 0 ? error : FileSystemCalls::LinkUnnamed(fd, to);
    }
    int Sync(int fd) const override
    {
        const int error = Before("sync", {});
        return error != 0 ? error : FileSystemCalls::Sync(fd);
    }

    /// The calls made so far; staged names (".<name>.veltran-XXXXXX") show as "<staged>".
    const std::vector<std::string>& Trace() const { return m_trace; }

    /// The permission bits each unnamed file was asked for, in order.
    mutable std::vector<mode_t> unnamedModes;

private:
    int Before(const std::string& call, const std::filesystem::path& path) const
    {
        const std::string name = path.filename().string();
        const bool staged = name.find(".veltran-") != std::string::npos;
        m_trace.push_back(name.empty() ? call : call + " " + (staged ? "<staged>" : name));
        return m_hook ? m_hook(call, path) : 0;
    }

    Hook m_hook;
    mutable std::vector<std::string> m_trace;
};

} // namespace veltran::test
