#include "RunUndo.h"

#include "FileReader.h"
#include "RunReportReader.h"
#include "Sha256.h"
#include "SystemError.h"

#include <algorithm>

namespace veltran {

namespace {

// A file as it was when it was read: a file written or replaced since differs in one of these.
struct Seen
{
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified = {};
    timespec changed = {};
};

Seen SeenOf(const struct stat& info)
{
    return {info.st_dev, info.st_ino, info.st_size, info.st_mtim, info.st_ctim};
}

bool Same(const Seen& a, const Seen& b)
{
    return a.device == b.device && a.inode == b.inode && a.size == b.size && a.modified.tv_sec == b.modified.tv_sec &&
           a.modified.tv_nsec == b.modified.tv_nsec && a.changed.tv_sec == b.changed.tv_sec &&
           a.changed.tv_nsec == b.changed.tv_nsec;
}

// What a file at a path is: missing, not a regular file (a link among them), or read with its digest.
struct Examined
{
    Status status;
    std::string digest;
    Seen seen;
};

Examined Examine(const std::filesystem::path& path, std::uint64_t largest, const FileSystemCalls& calls)
{
    ReadLimits limits;
    limits.largest = largest;
    limits.followLinks = false;
    Result<FileContent> content = ReadRegularFile(path, limits, calls);
    if (!content)
        return {content.status(), {}, {}};
    return {Status::Success(), Sha256::Of(content->bytes), SeenOf(content->info)};
}

struct Check
{
    enum class Verdict
    {
        Restore,
        AlreadyUndone,
        Refuse,
    } verdict;
    std::string reason;
    Seen file;
    Seen backup;
};

// Whether undo may put the file back, and why not.
Check CheckFile(const ReportedFile& reported, const FileSystemCalls& calls)
{
    // A file larger than both sizes the run knew holds neither; it is not read further.
    const std::uint64_t largest = std::max(reported.bytesRead, reported.bytesWritten);
    const Examined file = Examine(reported.file, largest, calls);
    if (!file.status.ok() && file.status.code != StatusCode::TooLarge)
        return {Check::Verdict::Refuse, file.status.message, {}, {}};
    const Examined backup = Examine(reported.backup, reported.bytesRead, calls);
    const bool backupMissing = backup.status.code == StatusCode::NotFound;
    if (file.digest == reported.writtenSha256) {
        if (backup.status.ok() && backup.digest == reported.originalSha256)
            return {Check::Verdict::Restore, {}, file.seen, backup.seen};
        if (backupMissing)
            return {Check::Verdict::Refuse, "its backup is missing", {}, {}};
        if (!backup.status.ok() && backup.status.code != StatusCode::TooLarge)
            return {Check::Verdict::Refuse, "its backup " + backup.status.message, {}, {}};
        return {Check::Verdict::Refuse, "its backup changed since the run", {}, {}};
    }
    if (file.digest == reported.originalSha256)
        return {Check::Verdict::AlreadyUndone, {}, {}, {}};
    return {Check::Verdict::Refuse, "changed since the run", {}, {}};
}

bool StillAsSeen(const std::filesystem::path& path, const Seen& seen, const FileSystemCalls& calls)
{
    struct stat now = {};
    return calls.LinkStat(path, now) == 0 && S_ISREG(now.st_mode) && Same(SeenOf(now), seen);
}

} // namespace

UndoOutcome UndoRun(const std::filesystem::path& reportFile, const FileSystemCalls& calls)
{
    UndoOutcome outcome;
    const Result<ReportedRun> run = ReadRunReport(reportFile, calls);
    if (!run) {
        outcome.report = run.status();
        return outcome;
    }
    std::vector<std::pair<const ReportedFile*, Check>> restorable;
    for (const ReportedFile& reported : run->converted) {
        Check check = CheckFile(reported, calls);
        if (check.verdict == Check::Verdict::Refuse)
            outcome.refused.push_back({reported.file, check.reason});
        else if (check.verdict == Check::Verdict::AlreadyUndone)
            outcome.alreadyUndone.push_back(reported.file);
        else
            restorable.emplace_back(&reported, std::move(check));
    }
    // All or nothing: a run is put back whole, or the person decides what to do with the files listed.
    if (!outcome.refused.empty())
        return outcome;
    outcome.touchedNothing = false;
    for (const auto& [reported, check] : restorable) {
        if (!StillAsSeen(reported->file, check.file, calls) || !StillAsSeen(reported->backup, check.backup, calls)) {
            outcome.refused.push_back({reported->file, "changed while the undo ran"});
            continue;
        }
        // One rename: the path holds the converted file until it holds the original.
        if (const int error = calls.Rename(reported->backup, reported->file); error != 0) {
            outcome.refused.push_back({reported->file, "cannot put the backup back: " + SystemErrorText(error)});
            continue;
        }
        outcome.restored.push_back(reported->file);
    }
    return outcome;
}

} // namespace veltran
