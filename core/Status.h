#pragma once

#include <cassert>
#include <optional>
#include <string>
#include <utility>

namespace veltran {

/// Why an operation failed. Conversions fail before anything on disk changes unless the code
/// says otherwise (WriteFailed may leave a backup made).
enum class StatusCode
{
    Ok,
    NotFound,         // no file at the path
    NotRegularFile,   // a folder, FIFO, device or socket
    SymbolicLink,     // a symbolic link where none may be
    LinkLoop,         // too many levels of symbolic links
    TooLarge,         // larger than the reader allows
    Permission,       // the file or its folder may not be read or changed
    ReadFailed,       // reading failed
    Empty,            // the file holds no content bytes (empty, or a byte-order mark alone)
    InvalidBytes,     // bytes not valid in the declared encoding
    AlreadyUtf8,      // declared GB or BIG5 but already UTF-8
    WrongEncoding,    // reads as another encoding than the declared one, or as none that can be told
    EmptyResult,      // the rules emptied the text and GB or BIG5 cannot store nothing
    MappingFailed,    // the Chinese mapping or a code page converter could not be used
    BackupBlocked,    // something other than a regular file holds the backup path
    WriteFailed,      // writing or putting the new file in place failed
    OutOfMemory,      // the file is too large for the memory at hand
    FolderUnreadable, // a folder could not be searched
    BadInput,         // a rules file or an argument that cannot be used
    ChangedMeanwhile, // the file changed between its reading and its replacement; nothing was changed
    AlreadyConverted, // the same file (device and inode) was converted earlier in the run
    BeingConverted,   // another run holds the file's lock; nothing was changed
};

/// The outcome of an operation: success, or a code and a reason a person can read (UTF-8).
struct Status
{
    StatusCode code = StatusCode::Ok;
    std::string message; // empty on success

    bool ok() const { return code == StatusCode::Ok; }
    explicit operator bool() const { return ok(); }

    static Status Success() { return {}; }
    static Status Failure(StatusCode failure, std::string reason) { return {failure, std::move(reason)}; }
};

/// A value, or the Status that says why there is none.
template <typename T> class Result
{
public:
    Result(T value) : m_value(std::move(value)) {}
    Result(Status failure) : m_status(std::move(failure)) { assert(!m_status.ok()); }

    bool ok() const { return m_status.ok(); }
    explicit operator bool() const { return ok(); }
    const Status& status() const { return m_status; }

    /// The value; only when ok().
    T& value() { return *m_value; }
    const T& value() const { return *m_value; }
    T* operator->() { return &*m_value; }
    const T* operator->() const { return &*m_value; }
    T& operator*() { return *m_value; }
    const T& operator*() const { return *m_value; }

private:
    std::optional<T> m_value;
    Status m_status;
};

} // namespace veltran
