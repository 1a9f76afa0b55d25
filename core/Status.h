#pragma once

#include <cassert>
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <utility>

namespace veltran {

/// Why an operation failed: one code for each reason a person is told, the reason's words being the
/// table's (ReasonText), in English for the terminal and the report, in Chinese for the window and the
/// run log. Conversions fail before anything on disk changes unless the code says otherwise.
enum class StatusCode
{
    Ok,
    // Reading a file
    NotFound,       // no file at the path
    LinkToNothing,  // a symbolic link whose file is missing
    LinkLoop,       // too many levels of symbolic links
    SymbolicLink,   // a symbolic link where none may be
    Folder,         // a folder where a file was to be
    SpecialFile,    // a FIFO, device or socket
    TooLarge,       // larger than the reader allows (number: the limit)
    Permission,     // the file or its folder may not be read or changed
    OpenFailed,     // opening failed (systemError)
    ReadFailed,     // reading failed (systemError)
    BeingConverted, // another run holds the file's lock
    // Its content
    Empty,               // the file holds no bytes
    ByteOrderMarkOnly,   // the file holds a byte-order mark and nothing else
    InvalidBytes,        // bytes not valid in the encoding (encoding, number: the offset)
    WrongEncoding,       // the encoding check refused the file (refusal)
    AlreadyUtf8,         // the encoding check found a file declared GB or BIG5 in UTF-8 (refusal)
    ConvertedFromBackup, // the file is what converting its backup gives (name: the backup)
    EmptyResult,         // the rules emptied a text, which GB or BIG5 cannot store (encoding)
    MappingFailed,       // the Chinese mapping or a code page could not be used (name: what was said)
    OutOfMemory,         // not enough memory for this file
    SparseFile,          // the file has holes: binary, and read it is not
    NulBytesOnly,        // every byte of the file is NUL: binary
    // The run
    AlreadyConverted, // the same file (device and inode) was converted earlier in the run
    FolderUnreadable, // a folder the scan could not search
    NotAFolder,       // a path to search that is no folder
    HardLinked,       // the file has other names, which a replacement would part from it (number: how many)
    NotPutBack,       // the file is missing and its lone backup could not be put back (name: it, systemError)
    NotStaged,        // a file to remove as a killed run's staged file is none
    StagedInUse,      // a staged file whose file a run is converting now (name: that file)
    CannotRemove,     // a staged file could not be removed (systemError)
    // Writing
    ReadOnly,             // without a backup, a file no one may write is not replaced
    BackupBlocked,        // something other than a regular file holds the backup path (name)
    ChangedMeanwhile,     // the file changed between its reading and its replacement; it was left alone
    CannotCreate,         // no new file could be made in the folder (systemError, or 0: no free name)
    WriteFailed,          // writing the new file failed (systemError)
    CannotSetPermissions, // the new file's permissions could not be set (systemError)
    CannotNameNewFile,    // the new file could not be named (systemError, or 0: no free name)
    CannotMakeBackup,     // the backup could not be made (systemError)
    CannotCopyBackup,     // the original could not be copied to the backup (systemError)
    CannotPlaceNewFile,   // the new file could not take the file's place (systemError)
    // Rules files, line by line (number: the line)
    RulesTooMany,        // more rules than the table has room for (name: how many there is room for)
    RulesUnknownKind,    // name: the kind given
    RulesFieldCount,     // name: the kind, whose texts are missing or too many
    RulesEmptyText,      // name: the kind, whose text is empty
    RulesBackslashAtEnd, // a text ends with a backslash
    RulesUnknownEscape,  // name: the character after the backslash
    RulesNotUtf8,        // a text is not valid UTF-8
    // The Chinese mapping tables file (name: its path)
    TablesUnreadable, // it cannot be opened or mapped (systemError)
    TablesDamaged,    // it is not a whole tables file of this version (number: a MappingTablesFault)
    // Anything else a person gave that cannot be used: the reason is in `name`, as it is
    BadInput,
};

struct SourceRefusal;

/// What a reason says beyond its code: the parts its sentences are made of.
struct StatusContext
{
    int systemError = 0;                               // the errno value of the call that failed
    std::uint64_t number = 0;                          // an offset, a limit, a line number
    int encoding = 0;                                  // an EncodingId's value
    std::string name = {};                             // a file name, a kind, or a text given as it is
    std::shared_ptr<const SourceRefusal> refusal = {}; // what the encoding check saw
};

/// The outcome of an operation: success, or a code, what it concerns, and its sentence in English
/// (UTF-8), made by ReasonText when the failure is made.
struct [[nodiscard]] Status
{
    StatusCode code = StatusCode::Ok;
    std::string message; // empty on success
    StatusContext context;

    bool ok() const { return code == StatusCode::Ok; }
    explicit operator bool() const { return ok(); }

    static Status Success() { return {}; }
    static Status Failure(StatusCode failure, StatusContext context = {});
};

/// The code's name (CodeName), for test output and the like.
std::ostream& operator<<(std::ostream& out, StatusCode code);

/// A value, or the Status that says why there is none.
template <typename T> class [[nodiscard]] Result
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
