#pragma once

#include "ByteBuffer.h"
#include "FileSystemCalls.h"
#include "Status.h"

#include <cstdint>
#include <filesystem>
#include <limits>
#include <sys/stat.h>

namespace veltran {

/// How ReadRegularFile may read.
struct ReadLimits
{
    std::uint64_t largest = std::numeric_limits<std::uint64_t>::max(); // bytes a file may hold
    bool followLinks = true; // false: a symbolic link at the path is refused, not followed
};

/// A file read whole, and what fstat said of it when it was opened.
struct FileContent
{
    ByteBuffer bytes;
    struct stat info = {};
};

/// Reads a whole regular file through `calls`, the one way the program reads a file it was given
/// (a page to convert, a rules file, a run report, a file to show). Refuses, without blocking and
/// before reading a byte, what is not a regular file (a folder, FIFO, device or socket: NotRegularFile),
/// a file larger than the limit (TooLarge) and, where asked, a symbolic link (SymbolicLink). Other
/// failures: NotFound, Permission, LinkLoop (too many levels of links) and ReadFailed, each with the
/// system's reason. A file that grows while it is read is read up to the limit.
Result<FileContent> ReadRegularFile(const std::filesystem::path& path, const ReadLimits& limits = {},
                                    const FileSystemCalls& calls = SystemFileCalls());

} // namespace veltran
