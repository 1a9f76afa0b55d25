#include "FileIdentity.h"

namespace veltran {

namespace {

bool SameTime(const timespec& a, const timespec& b)
{
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

} // namespace

FileIdentity IdentityOf(const struct stat& info)
{
    return FileIdentity{info.st_dev, info.st_ino, info.st_size, info.st_mtim, info.st_ctim, std::nullopt};
}

FileIdentity IdentityOfOpenFile(int fd, const struct stat& info, const FileSystemCalls& calls)
{
    FileIdentity identity = IdentityOf(info);
    std::uint32_t generation = 0;
    if (calls.Generation(fd, generation) == 0)
        identity.generation = generation;
    return identity;
}

bool SameFile(const FileIdentity& a, const FileIdentity& b)
{
    return a.device == b.device && a.inode == b.inode && a.size == b.size && SameTime(a.modified, b.modified) &&
           SameTime(a.changed, b.changed) && (!a.generation || !b.generation || *a.generation == *b.generation);
}

} // namespace veltran
