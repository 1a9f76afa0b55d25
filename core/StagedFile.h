#pragma once

#include "Bytes.h"
#include "Status.h"

#include <filesystem>
#include <sys/types.h>

namespace veltran {

/// A new file written beside its final path under a temporary name, so that the final path never
/// holds a half-written file. Its owner puts it in place with rename(); until Release() is called
/// the destructor removes it again. Used by ReplaceFile only.
class StagedFile
{
public:
    /// Creates ".<name>.veltran-XXXXXX" exclusively in the folder of `finalPath` with the permission
    /// bits `mode` (less the umask). Fails with Permission when the folder may not be written.
    static Result<StagedFile> Create(const std::filesystem::path& finalPath, mode_t mode);

    StagedFile(StagedFile&& other) noexcept;
    StagedFile& operator=(StagedFile&&) = delete;
    StagedFile(const StagedFile&) = delete;
    ~StagedFile();

    /// Writes all bytes, retrying short writes (disk full and the like fail).
    Status Write(ByteView bytes);
    /// Flushes the written bytes to the disk.
    Status Sync();
    /// Gives the file these permission bits, and this owner and group where the process may.
    Status SetOwnership(mode_t mode, uid_t owner, gid_t group);
    /// Closes the file, reporting errors that surface only at close.
    Status Close();

    const std::filesystem::path& Path() const { return m_path; }
    /// The file has been renamed into place: the destructor leaves it alone.
    void Release() { m_released = true; }

private:
    StagedFile(std::filesystem::path path, int fd) : m_path(std::move(path)), m_fd(fd) {}

    std::filesystem::path m_path;
    int m_fd = -1;
    bool m_released = false;
};

} // namespace veltran
