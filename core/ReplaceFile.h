#pragma once

#include "BackupNames.h"
#include "Bytes.h"
#include "FileIdentity.h"
#include "FileMetadata.h"
#include "FileSystemCalls.h"
#include "Status.h"

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace veltran {

struct ReplaceOptions
{
    /// The simple backup name of the current file ("<file>.bak"). In Simple mode an older regular file
    /// there is replaced, and anything else there (a folder, a link) fails with BackupBlocked before
    /// anything changes; numbered backups go to "<backup>.~N~" with the next free N.
    std::optional<std::filesystem::path> backup;
    BackupMode backupMode = BackupMode::Simple;
    /// Taken over by the new file (the owner and group only where the process may); without it the new
    /// file gets the permissions of any new file (0666 less the umask).
    std::optional<FileOwnership> ownership;
    /// The file the target must still be just before it is replaced. Otherwise the replacement fails
    /// with ChangedMeanwhile ("changed during conversion"), leaving the target and the backup path
    /// as they are. With `source`, it is the identity of that open file as it was read.
    std::optional<FileIdentity> expected;
    /// The file that was read, open (and locked by the caller against other runs): the backup is made
    /// from it, whatever its path holds by now, and the new file takes its extended attributes and ACL.
    /// Without it ReplaceFile opens the target itself where it needs it.
    int source = -1;
    /// Flush the new file (and a copied backup) to the disk before it is named, the folder before the
    /// new file is named and again after its rename.
    bool sync = false;
};

/// What a replacement did beside its result.
struct ReplaceNotes
{
    std::filesystem::path backup;     // where the backup is; empty without one
    bool replacedOtherBackup = false; // an older backup holding other bytes than the file's was replaced
    std::vector<std::string> notKept; // what of the file's owner, group, ACL and attributes the new file lacks
};

/// What ReplaceFile would find before it writes anything: a backup path blocked, a file changed since
/// it was read, a folder the process may not write in. Changes nothing; for a dry run.
Status CheckReplaceable(const std::filesystem::path& target, const ReplaceOptions& options,
                        const FileSystemCalls& calls = SystemFileCalls());

/// Replaces the file at `target` (or creates it) with the concatenated `pieces`, so that the path
/// holds the old file or the whole new one at every moment. The bytes go to a new file beside the
/// target (unnamed until the end where the file system allows), which then takes the target's place
/// by rename. With a backup, the file that was read first gets the backup name as a second name (a
/// copy of it renamed into place where the file system makes no hard links), so neither name ever
/// lacks a file. On any failure the target keeps its bytes, no staged file is left behind, and a
/// backup made only for this replacement is removed again; the message says what failed. `notes`,
/// when given, is told where the backup went and what of the metadata could not be kept.
Status ReplaceFile(const std::filesystem::path& target, std::span<const ByteView> pieces, const ReplaceOptions& options,
                   const FileSystemCalls& calls = SystemFileCalls(), ReplaceNotes* notes = nullptr);

} // namespace veltran
