#pragma once

#include "Bytes.h"
#include "FileSystemCalls.h"
#include "Status.h"

#include <filesystem>
#include <string_view>
#include <sys/types.h>

namespace veltran {

/// A fresh name ".<name>.veltran-XXXXXX" beside `finalPath` (random letters; long names are cut so
/// that it stays within the file-name limit). Nothing is created.
std::filesystem::path TemporaryNameBeside(const std::filesystem::path& finalPath);

/// Whether `name` (a bare file name) has the shape TemporaryNameBeside gives: ".", a name,
/// ".veltran-" and six letters or digits.
bool IsStagedName(std::string_view name);

/// A new file written beside its final path before it takes that path, so that the path never holds
/// a half-written file. Where the file system allows, the file has no name at all while it is written
/// (O_TMPFILE), so a process killed meanwhile leaves nothing behind; elsewhere it is written under a
/// TemporaryNameBeside. Until Release() is called the destructor removes whatever name it has. Every
/// call that reaches the disk goes through the `calls` it was made with, which must outlive it. Used
/// by ReplaceFile and its backups only.
class StagedFile
{
public:
    /// Makes the file in the folder of `finalPath` with the permission bits `mode` (less the umask):
    /// unnamed when calls.OpenUnnamed can, named otherwise. Fails with Permission when the folder may
    /// not be written.
    static Result<StagedFile> Create(const std::filesystem::path& finalPath, mode_t mode, const FileSystemCalls& calls);

    StagedFile(StagedFile&& other) noexcept;
    StagedFile& operator=(StagedFile&&) = delete;
    StagedFile(const StagedFile&) = delete;
    ~StagedFile();

    /// Writes all bytes, retrying short writes (disk full and the like fail).
    Status Write(ByteView bytes);
    /// Flushes the written bytes to the disk.
    Status Sync();
    /// The open file, for its permissions and attributes; -1 once a named file was closed by Name().
    int Descriptor() const { return m_fd; }
    /// Ends the writing: a named file is closed, reporting errors that surface only at close; an
    /// unnamed one gets a name beside its final path and is closed by the destructor. Its owner then
    /// renames Path() into place.
    Status Name(const std::filesystem::path& finalPath);

    /// The file's name; empty while it has none.
    const std::filesystem::path& Path() const { return m_path; }
    /// The file has been renamed into place: the destructor leaves it alone.
    void Release() { m_released = true; }

private:
    StagedFile(std::filesystem::path path, int fd, const FileSystemCalls& calls)
        : m_path(std::move(path)), m_fd(fd), m_calls(&calls)
    {
    }

    std::filesystem::path m_path;
    int m_fd = -1;
    const FileSystemCalls* m_calls;
    bool m_released = false;
};

} // namespace veltran
