#pragma once

#include "FileSystemCalls.h"

namespace veltran {

/// File-system calls that pass every call on to other calls: the base of calls that change only a few
/// of them, whatever calls they wrap (the system's, or a test's).
class ForwardingFileCalls : public FileSystemCalls
{
public:
    /// `inner` must outlive this object.
    explicit ForwardingFileCalls(const FileSystemCalls& inner) : m_inner(inner) {}

    int Open(const std::filesystem::path& path, int flags) const override;
    int FileStat(int fd, struct stat& info) const override;
    int Rename(const std::filesystem::path& from, const std::filesystem::path& to) const override;
    int Link(const std::filesystem::path& from, const std::filesystem::path& to) const override;
    int Stat(const std::filesystem::path& path, struct stat& info) const override;
    int LinkStat(const std::filesystem::path& path, struct stat& info) const override;
    int OpenUnnamed(const std::filesystem::path& folder, mode_t mode) const override;
    int LinkOpenFile(int fd, const std::filesystem::path& to) const override;
    int Sync(int fd) const override;
    int CreateNew(const std::filesystem::path& path, mode_t mode) const override;
    long Write(int fd, const void* data, std::size_t size) const override;
    long ReadAt(int fd, void* buffer, std::size_t size, off_t offset) const override;
    int Unlink(const std::filesystem::path& path) const override;
    int Access(const std::filesystem::path& path, int mode) const override;
    int Lock(int fd) const override;
    int ChangeOwner(int fd, uid_t owner, gid_t group) const override;
    int ChangeMode(int fd, mode_t mode) const override;
    int ListAttributes(int fd, std::string& names) const override;
    int GetAttribute(int fd, const std::string& name, std::string& value) const override;
    int SetAttribute(int fd, const std::string& name, const std::string& value) const override;
    int ListFolder(const std::filesystem::path& folder, std::vector<FolderEntry>& entries) const override;
    off_t FirstHole(int fd) const override;
    int RenameNoReplace(const std::filesystem::path& from, const std::filesystem::path& to) const override;
    int Generation(int fd, std::uint32_t& generation) const override;
    bool ReadAheadFromDisk(int fd, off_t length) const override;

protected:
    const FileSystemCalls& Inner() const { return m_inner; }

private:
    const FileSystemCalls& m_inner;
};

} // namespace veltran
