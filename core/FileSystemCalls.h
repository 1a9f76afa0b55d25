#pragma once

#include <filesystem>

namespace veltran {

/// The file-system calls through which a new file is put in place. The program uses the system's;
/// tests override them to make a particular call fail.
class FileSystemCalls
{
public:
    virtual ~FileSystemCalls() = default;

    /// rename(2): 0 on success, otherwise the errno value.
    virtual int Rename(const std::filesystem::path& from, const std::filesystem::path& to) const;
};

/// The system's own calls.
const FileSystemCalls& SystemFileCalls();

} // namespace veltran
