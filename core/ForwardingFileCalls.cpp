#include "ForwardingFileCalls.h"

namespace veltran {

int ForwardingFileCalls::Open(const std::filesystem::path& path, int flags) const
{
    return m_inner.Open(path, flags);
}

int ForwardingFileCalls::FileStat(int fd, struct stat& info) const
{
    return m_inner.FileStat(fd, info);
}

int ForwardingFileCalls::Rename(const std::filesystem::path& from, const std::filesystem::path& to) const
{
    return m_inner.Rename(from, to);
}

int ForwardingFileCalls::Link(const std::filesystem::path& from, const std::filesystem::path& to) const
{
    return m_inner.Link(from, to);
}

int ForwardingFileCalls::Stat(const std::filesystem::path& path, struct stat& info) const
{
    return m_inner.Stat(path, info);
}

int ForwardingFileCalls::LinkStat(const std::filesystem::path& path, struct stat& info) const
{
    return m_inner.LinkStat(path, info);
}

int ForwardingFileCalls::OpenUnnamed(const std::filesystem::path& folder, mode_t mode) const
{
    return m_inner.OpenUnnamed(folder, mode);
}

int ForwardingFileCalls::LinkOpenFile(int fd, const std::filesystem::path& to) const
{
    return m_inner.LinkOpenFile(fd, to);
}

int ForwardingFileCalls::Sync(int fd) const
{
    return m_inner.Sync(fd);
}

int ForwardingFileCalls::CreateNew(const std::filesystem::path& path, mode_t mode) const
{
    return m_inner.CreateNew(path, mode);
}

long ForwardingFileCalls::Write(int fd, const void* data, std::size_t size) const
{
    return m_inner.Write(fd, data, size);
}

long ForwardingFileCalls::ReadAt(int fd, void* buffer, std::size_t size, off_t offset) const
{
    return m_inner.ReadAt(fd, buffer, size, offset);
}

int ForwardingFileCalls::Unlink(const std::filesystem::path& path) const
{
    return m_inner.Unlink(path);
}

int ForwardingFileCalls::Access(const std::filesystem::path& path, int mode) const
{
    return m_inner.Access(path, mode);
}

int ForwardingFileCalls::Lock(int fd) const
{
    return m_inner.Lock(fd);
}

int ForwardingFileCalls::ChangeOwner(int fd, uid_t owner, gid_t group) const
{
    return m_inner.ChangeOwner(fd, owner, group);
}

int ForwardingFileCalls::ChangeMode(int fd, mode_t mode) const
{
    return m_inner.ChangeMode(fd, mode);
}

int ForwardingFileCalls::ListAttributes(int fd, std::string& names) const
{
    return m_inner.ListAttributes(fd, names);
}

int ForwardingFileCalls::GetAttribute(int fd, const std::string& name, std::string& value) const
{
    return m_inner.GetAttribute(fd, name, value);
}

int ForwardingFileCalls::SetAttribute(int fd, const std::string& name, const std::string& value) const
{
    return m_inner.SetAttribute(fd, name, value);
}

int ForwardingFileCalls::ListFolder(const std::filesystem::path& folder, std::vector<FolderEntry>& entries) const
{
    return m_inner.ListFolder(folder, entries);
}

off_t ForwardingFileCalls::FirstHole(int fd) const
{
    return m_inner.FirstHole(fd);
}

int ForwardingFileCalls::RenameNoReplace(const std::filesystem::path& from, const std::filesystem::path& to) const
{
    return m_inner.RenameNoReplace(from, to);
}

int ForwardingFileCalls::Generation(int fd, std::uint32_t& generation) const
{
    return m_inner.Generation(fd, generation);
}

bool ForwardingFileCalls::ReadAheadFromDisk(int fd, off_t length) const
{
    return m_inner.ReadAheadFromDisk(fd, length);
}

} // namespace veltran
