#pragma once

#include "BackupNames.h"
#include "FileIdentity.h"
#include "FileMetadata.h"
#include "FileSystemCalls.h"
#include "Status.h"

#include <filesystem>

namespace veltran {

/// Where and how a backup is to be made. The paths are the caller's and outlive the request.
struct BackupRequest
{
    const std::filesystem::path& file; // the path the file was read at
    const std::filesystem::path& base; // the simple backup name, "<file>.bak"
    BackupMode mode = BackupMode::Simple;
    bool sync = false; // a copy is flushed to the disk before it gets its name
};

/// A backup made.
struct MadeBackup
{
    std::filesystem::path path;
    bool replacedOlder = false;       // a simple backup took the place of an older one
    bool olderHeldOtherBytes = false; // which held other bytes than the file backed up
    bool copied = false;              // a copy, where the file could not be given a second name
};

/// Whether something other than a regular file (a folder, a link) holds the simple backup name, which
/// a simple backup would have to replace: BackupBlocked then, else whether an older backup is there.
Result<bool> OlderBackupAt(const std::filesystem::path& base, const FileSystemCalls& calls);

/// Backs up the file open as `source`, which must still be `expected`: as a second name of that very
/// file (whatever its path holds by now), or, where the file system makes no hard links, as a copy of
/// its bytes with its permissions, written beside the backup name and renamed to it once it is whole
/// and the file is seen unchanged. A simple backup replaces an older regular file by rename (the path
/// never lacks a file); a numbered one takes the next free number and replaces nothing. Fails with
/// BackupBlocked when something other than a file is at the simple name, ChangedMeanwhile when the
/// file changed while it was copied or has no name left, WriteFailed otherwise; a failure leaves no
/// new name behind.
Result<MadeBackup> MakeBackup(int source, const FileIdentity& expected, const FileOwnership& ownership,
                              const BackupRequest& request, const FileSystemCalls& calls);

} // namespace veltran
