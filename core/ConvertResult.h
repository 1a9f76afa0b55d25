#pragma once

#include <string>

namespace veltran {

/// Why a conversion failed. Every failure leaves the source file at its path with its bytes.
enum class ConvertError
{
    None,
    NotFound,      // no file at the path, or it is not a regular file
    Permission,    // the file or its folder may not be read or changed
    ReadFailed,    // reading the source failed
    Empty,         // the file holds no content bytes (empty, or a byte-order mark alone)
    InvalidBytes,  // bytes not valid in the declared source encoding
    AlreadyUtf8,   // declared GB or BIG5 but already UTF-8
    EmptyResult,   // the rules emptied the text and GB or BIG5 cannot store nothing
    MappingFailed, // the Chinese dictionaries could not be loaded
    BackupBlocked, // something other than a regular file holds the backup path
    WriteFailed,   // writing or putting the new file in place failed
};

/// Outcome of converting one file: true or false, and on failure a reason a person can read.
struct ConvertResult
{
    ConvertError error = ConvertError::None;
    std::string message; // UTF-8, empty on success

    bool ok() const { return error == ConvertError::None; }
    explicit operator bool() const { return ok(); }

    static ConvertResult Success() { return {}; }
    static ConvertResult Failure(ConvertError error, std::string message) { return {error, std::move(message)}; }
};

} // namespace veltran
