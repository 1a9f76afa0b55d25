#pragma once

#include "FileSystemCalls.h"

#include <cstdint>
#include <ctime>
#include <optional>
#include <sys/stat.h>
#include <sys/types.h>

namespace veltran {

/// What tells a file from another one put at its path, and from itself after someone wrote to it.
/// The change time catches an edit whose writer put the modification time back; the generation, a
/// later file that got the inode number of a deleted one.
struct FileIdentity
{
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified = {};
    timespec changed = {};
    std::optional<std::uint32_t> generation; // where the file system tells it and an open file was asked
};

/// The identity stat(2) gives, without the generation.
FileIdentity IdentityOf(const struct stat& info);

/// The identity of the file open as `fd`, whose fstat(2) is `info`, with its generation where the file
/// system tells it.
FileIdentity IdentityOfOpenFile(int fd, const struct stat& info, const FileSystemCalls& calls = SystemFileCalls());

/// Same device, inode, size, modification and change time (to the nanosecond), and the same
/// generation where both know it.
bool SameFile(const FileIdentity& a, const FileIdentity& b);

} // namespace veltran
