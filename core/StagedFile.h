#pragma once

#include "Bytes.h"

#include <filesystem>
#include <optional>
#include <string>
#include <sys/types.h>

namespace veltran {

/// A new file written beside its final path under a temporary name, so that the final path
/// never holds a half-written file. The caller puts it in place with rename(); until Release()
/// is called the destructor removes it again.
class StagedFile
{
public:
    /// Creates ".<name>.veltran-XXXXXX" exclusively in the folder of `finalPath`.
    /// Returns nothing and sets `error` when the folder does not allow it.
    static std::optional<StagedFile> Create(const std::filesystem::path& finalPath, std::string& error);

    StagedFile(StagedFile&& other) noexcept;
    StagedFile& operator=(StagedFile&&) = delete;
    StagedFile(const StagedFile&) = delete;
    ~StagedFile();

    /// Writes all bytes, retrying short writes. False with `error` on failure (disk full, ...).
    bool Write(ByteView bytes, std::string& error);
    /// Flushes the written bytes to the disk.
    bool Sync(std::string& error);
    /// Gives the file these permission bits, and this owner and group where the process may.
    bool CopyModeAndOwner(mode_t mode, uid_t owner, gid_t group, std::string& error);
    /// Closes the file, reporting errors that surface only at close.
    bool Close(std::string& error);

    const std::filesystem::path& Path() const { return m_path; }
    /// The file has been renamed into place: the destructor leaves it alone.
    void Release() { m_released = true; }

private:
    StagedFile(std::filesystem::path path, int fd) : m_path(std::move(path)), m_fd(fd) {}

    std::filesystem::path m_path;
    int m_fd = -1;
    bool m_released = false;
};

/// The system's text for an errno value, e.g. "No space left on device".
std::string SystemErrorText(int errorNumber);

} // namespace veltran
