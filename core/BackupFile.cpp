#include "BackupFile.h"

#include "StagedFile.h"
#include "SystemError.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace veltran {

namespace {

constexpr int kNameAttempts = 100;
constexpr std::size_t kCopyChunk = 65536;

Status Changed()
{
    return Status::Failure(StatusCode::ChangedMeanwhile);
}

// The file system has no hard links, or refuses them for this file (as protected_hardlinks does for
// another user's file).
bool NoHardLinks(int errorNumber)
{
    return errorNumber == EPERM || errorNumber == EOPNOTSUPP || errorNumber == EMLINK || errorNumber == ENOSYS;
}

struct Descriptor
{
    int fd;
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

// Whether the regular file at `older` holds other bytes than the file open as `source`.
bool HoldsOtherBytes(int source, const FileIdentity& expected, const std::filesystem::path& older,
                     const FileSystemCalls& calls)
{
    struct stat info = {};
    if (calls.LinkStat(older, info) != 0)
        return false;
    if (info.st_dev == expected.device && info.st_ino == expected.inode)
        return false;
    if (info.st_size != expected.size)
        return true;
    const Descriptor held{calls.Open(older, O_RDONLY | O_NOFOLLOW | O_NONBLOCK)};
    if (held.fd < 0)
        return true;
    std::array<char, kCopyChunk> mine{};
    std::array<char, kCopyChunk> theirs{};
    for (off_t offset = 0;;) {
        const long a = calls.ReadAt(source, mine.data(), mine.size(), offset);
        const long b = calls.ReadAt(held.fd, theirs.data(), theirs.size(), offset);
        if (a != b || a < 0)
            return true;
        if (a == 0)
            return false;
        if (!std::equal(mine.begin(), mine.begin() + a, theirs.begin()))
            return true;
        offset += a;
    }
}

// Gives the file open as `source` the further name `name`. Where the system cannot link from the
// descriptor (no /proc, no privilege) but the file still has a name, it links the path and keeps the
// link only if it reached the same file. Returns 0 or the errno value; ENOENT when the file has no
// name left.
int LinkSource(int source, const FileIdentity& expected, const std::filesystem::path& file,
               const std::filesystem::path& name, const FileSystemCalls& calls)
{
    const int error = calls.LinkOpenFile(source, name);
    struct stat info = {};
    if (error != ENOENT || calls.FileStat(source, info) != 0 || info.st_nlink == 0)
        return error;
    if (const int linked = calls.Link(file, name); linked != 0)
        return linked;
    if (calls.LinkStat(name, info) == 0 && info.st_dev == expected.device && info.st_ino == expected.inode)
        return 0;
    calls.Unlink(name);
    return ENOENT;
}

// A second name over an older file: link() never replaces a name, so a temporary second name is
// renamed over it.
int LinkReplacing(int source, const FileIdentity& expected, const std::filesystem::path& file,
                  const std::filesystem::path& name, const FileSystemCalls& calls)
{
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        const std::filesystem::path temporary = TemporaryNameBeside(name);
        const int linked = LinkSource(source, expected, file, temporary, calls);
        if (linked == EEXIST)
            continue;
        if (linked != 0)
            return linked;
        const int renamed = calls.Rename(temporary, name);
        // rename() does nothing when both names are already the same file, which leaves the temporary one.
        calls.Unlink(temporary);
        return renamed;
    }
    return EEXIST;
}

// The first numbered name free for a new backup, from one past the highest there.
std::filesystem::path FreeNumberedName(const std::filesystem::path& base, unsigned& number,
                                       const FileSystemCalls& calls)
{
    struct stat info = {};
    while (calls.LinkStat(NumberedBackup(base, number), info) == 0)
        ++number;
    return NumberedBackup(base, number);
}

Status CopyFailure(int errorNumber)
{
    return Status::Failure(StatusCode::CannotCopyBackup, {.systemError = errorNumber});
}

// The backup as a copy of the file's bytes, made whole under a temporary name and only then renamed to
// the backup name, so that no name ever holds part of the original.
Result<std::filesystem::path> CopyBackup(int source, const FileIdentity& expected, const FileOwnership& ownership,
                                         const BackupRequest& request, bool numbered, const FileSystemCalls& calls)
{
    Result<StagedFile> copy = StagedFile::Create(request.base, ownership.mode & 0777, calls);
    if (!copy)
        return copy.status();
    std::array<std::uint8_t, kCopyChunk> buffer{};
    for (off_t offset = 0;;) {
        const long n = calls.ReadAt(source, buffer.data(), buffer.size(), offset);
        if (n < 0)
            return CopyFailure(static_cast<int>(-n));
        if (n == 0)
            break;
        if (Status written = copy->Write(ByteView(buffer.data(), static_cast<std::size_t>(n))); !written)
            return written;
        offset += n;
    }
    // The copy is the original: what of its metadata cannot be kept is the original's own concern.
    if (const auto kept = KeepMetadata(source, copy->Descriptor(), ownership, calls); !kept)
        return kept.status();
    if (request.sync) {
        if (Status synced = copy->Sync(); !synced)
            return synced;
    }
    if (Status named = copy->Name(request.base); !named)
        return named;
    // The bytes copied are the bytes read only while the file is as it was then.
    struct stat now = {};
    if (calls.FileStat(source, now) != 0 || !SameFile(IdentityOf(now), expected))
        return Changed();
    unsigned number = numbered ? HighestNumberedBackup(request.base) + 1 : 0;
    const std::filesystem::path name = numbered ? FreeNumberedName(request.base, number, calls) : request.base;
    if (const int error = calls.Rename(copy->Path(), name); error != 0)
        return CopyFailure(error);
    copy->Release();
    return name;
}

} // namespace

Result<bool> OlderBackupAt(const std::filesystem::path& base, const FileSystemCalls& calls)
{
    struct stat info = {};
    if (calls.LinkStat(base, info) != 0)
        return false;
    if (!S_ISREG(info.st_mode))
        return Status::Failure(StatusCode::BackupBlocked, {.name = base.string()});
    return true;
}

Result<MadeBackup> MakeBackup(int source, const FileIdentity& expected, const FileOwnership& ownership,
                              const BackupRequest& request, const FileSystemCalls& calls)
{
    MadeBackup made;
    const bool numbered = MakesNumberedBackup(request.base, request.mode);
    int error = 0;
    if (numbered) {
        unsigned number = HighestNumberedBackup(request.base) + 1;
        // Another process may take a number meanwhile: link() never replaces, so the next one is tried.
        for (int attempt = 0; attempt < kNameAttempts; ++attempt, ++number) {
            made.path = FreeNumberedName(request.base, number, calls);
            error = LinkSource(source, expected, request.file, made.path, calls);
            if (error != EEXIST)
                break;
        }
    } else {
        // Most files have no backup yet: the link is tried first, and only a name already there (from
        // an earlier run, or another process just now) is looked at.
        made.path = request.base;
        error = LinkSource(source, expected, request.file, made.path, calls);
        if (error == EEXIST) {
            const Result<bool> older = OlderBackupAt(request.base, calls);
            if (!older)
                return older.status();
            made.replacedOlder = *older;
            made.olderHeldOtherBytes = *older && HoldsOtherBytes(source, expected, request.base, calls);
            error = LinkReplacing(source, expected, request.file, made.path, calls);
        }
    }
    if (error == 0)
        return made;
    if (error == ENOENT)
        return Changed();
    if (!NoHardLinks(error))
        return Status::Failure(StatusCode::CannotMakeBackup, {.systemError = error});
    Result<std::filesystem::path> copied = CopyBackup(source, expected, ownership, request, numbered, calls);
    if (!copied)
        return copied.status();
    made.path = *copied;
    made.copied = true;
    return made;
}

} // namespace veltran
