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
    int LinkOpenFile(int fd, const std::filesystem::path& to) const override
    {
        const int error = Before("link-fd", to);
        return error != 0 ? error : FileSystemCalls::LinkOpenFile(fd, to);
    }
    int Sync(int fd) const override
    {
        const int error = Before("sync", {});
        return error != 0 ? error : FileSystemCalls::Sync(fd);
    }
    int CreateNew(const std::filesystem::path& path, mode_t mode) const override
    {
        const int error = Before("create", path);
        return error != 0 ? -error : FileSystemCalls::CreateNew(path, mode);
    }
    long Write(int fd, const void* data, std::size_t size) const override
    {
        const int error = Before("write", {});
        return error != 0 ? -error : FileSystemCalls::Write(fd, data, size);
    }
    long ReadAt(int fd, void* buffer, std::size_t size, off_t offset) const override
    {
        const int error = Before("read-at", {});
        return error != 0 ? -error : FileSystemCalls::ReadAt(fd, buffer, size, offset);
    }
    int Unlink(const std::filesystem::path& path) const override
    {
        const int error = Before("unlink", path);
        return error != 0 ? error : FileSystemCalls::Unlink(path);
    }
    int Access(const std::filesystem::path& path, int mode) const override
    {
        const int error = Before("access", path);
        return error != 0 ? error : FileSystemCalls::Access(path, mode);
    }
    int Lock(int fd) const override
    {
        const int error = Before("lock", {});
        return error != 0 ? error : FileSystemCalls::Lock(fd);
    }
    int ChangeOwner(int fd, uid_t owner, gid_t group) const override
    {
        // A change of the group alone is told apart: a user may make it where the owner cannot change.
        const int error = Before(owner == static_cast<uid_t>(-1) ? "chgrp" : "chown", {});
        return error != 0 ? error : FileSystemCalls::ChangeOwner(fd, owner, group);
    }
    int ChangeMode(int fd, mode_t mode) const override
    {
        const int error = Before("chmod", {});
        return error != 0 ? error : FileSystemCalls::ChangeMode(fd, mode);
    }
    int ListAttributes(int fd, std::string& names) const override
    {
        const int error = Before("listxattr", {});
        return error != 0 ? error : FileSystemCalls::ListAttributes(fd, names);
    }
    // The attribute calls pass the attribute's name to the hook as the path.
    int GetAttribute(int fd, const std::string& name, std::string& value) const override
    {
        const int error = Before("getxattr", name);
        return error != 0 ? error : FileSystemCalls::GetAttribute(fd, name, value);
    }
    int SetAttribute(int fd, const std::string& name, const std::string& value) const override
    {
        const int error = Before("setxattr", name);
        return error != 0 ? error : FileSystemCalls::SetAttribute(fd, name, value);
    }
    int ListFolder(const std::filesystem::path& folder, std::vector<FolderEntry>& entries) const override
    {
        const int error = Before("list", folder);
        return error != 0 ? error : FileSystemCalls::ListFolder(folder, entries);
    }
    off_t FirstHole(int fd) const override
    {
        const int error = Before("seek-hole", {});
        return error != 0 ? -error : FileSystemCalls::FirstHole(fd);
    }
    int RenameNoReplace(const std::filesystem::path& from, const std::filesystem::path& to) const override
    {
        const int error = Before("rename-noreplace", to);
        return error != 0 ? error : FileSystemCalls::RenameNoReplace(from, to);
    }
    int Generation(int fd, std::uint32_t& generation) const override
    {
        const int error = Before("generation", {});
        return error != 0 ? error : FileSystemCalls::Generation(fd, generation);
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
