#include "FileSystemCalls.h"

#include <cerrno>
#include <cstdio>

namespace veltran {

int FileSystemCalls::Rename(const std::filesystem::path& from, const std::filesystem::path& to) const
{
    return std::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

const FileSystemCalls& SystemFileCalls()
{
    static const FileSystemCalls calls;
    return calls;
}

} // namespace veltran
