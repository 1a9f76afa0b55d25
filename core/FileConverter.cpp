#include "FileConverter.h"

#include "BackupNames.h"
#include "FileBytesConversion.h"
#include "FileIdentity.h"
#include "FileReader.h"
#include "LoneBackup.h"
#include "OtherNames.h"
#include "ReplaceFile.h"
#include "SecondRunCheck.h"
#include "Sha256.h"
#include "TextCodecs.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <new>
#include <optional>

namespace veltran {

namespace {

// Reads the file at the path, or where the path's link points; `path` becomes the path of the file
// read, so that a link stays a link. The file stays open, and unless `dryRun` locked: another run
// that read the file meanwhile would otherwise back up and replace this run's result, and the
// original with it; a dry run, which writes nothing, must not hold up a real one.
Result<FileContent> ReadSource(std::filesystem::path& path, bool dryRun, const FileSystemCalls& calls)
{
    ReadLimits noLinks;
    noLinks.followLinks = false;
    noLinks.keepOpen = true;
    noLinks.lock = !dryRun;
    noLinks.refuseBinary = true;
    // Refused links tell themselves apart at once, which saves asking first for every file that is none.
    Result<FileContent> read = ReadRegularFile(path, noLinks, calls);
    if (read || read.status().code != StatusCode::SymbolicLink)
        return read;
    std::error_code ec;
    std::filesystem::path target = std::filesystem::canonical(path, ec);
    if (ec == std::errc::too_many_symbolic_link_levels)
        return Status::Failure(StatusCode::LinkLoop);
    if (ec)
        return Status::Failure(StatusCode::LinkToNothing);
    path = std::move(target);
    return ReadRegularFile(path, noLinks, calls);
}

// A missing file whose backup is there alone (a run of an older version killed between its two
// renames, or a page moved away) is put back first, then converted like any other; a dry run reads
// the backup where it lies and changes nothing. Only a path that holds nothing at all counts as missing:
// a link that points nowhere is the link's own matter.
Result<FileContent> ReadOrPutBack(std::filesystem::path& path, bool dryRun, const FileSystemCalls& calls,
                                  ConversionNotes& notes)
{
    Result<FileContent> read = ReadSource(path, dryRun, calls);
    struct stat info = {};
    if (read || read.status().code != StatusCode::NotFound || calls.LinkStat(path, info) != ENOENT)
        return read;
    const std::optional<std::filesystem::path> lone = LoneBackupOf(path, calls);
    if (!lone)
        return read;
    if (dryRun) {
        std::filesystem::path backup = *lone;
        notes.putBackFrom = *lone;
        return ReadSource(backup, true, calls);
    }
    if (Status putBack = PutBackLoneBackup(*lone, path, calls); !putBack)
        return putBack;
    notes.putBackFrom = *lone;
    return ReadSource(path, false, calls);
}

ByteView Bom(const TextOptions& options)
{
    return options.target == EncodingId::Utf8 && options.writeBom ? ByteView(kUtf8Bom) : ByteView();
}

Status ConvertFileUnguarded(const std::filesystem::path& givenPath, const ConvertOptions& givenOptions,
                            const RuleTable& rules, const FileSystemCalls& calls, ConversionNotes& notes)
{
    std::filesystem::path path = givenPath;
    Result<FileContent> file = ReadOrPutBack(path, givenOptions.disk.dryRun, calls, notes);
    if (!file)
        return file.status();
    // In a dry run a lone backup is judged where it lies, with no page nor backup path to check.
    const bool putBackPending = givenOptions.disk.dryRun && !notes.putBackFrom.empty();
    notes.file = path.native();
    notes.bytesRead = file->bytes.size();
    if (Status single = CheckNoOtherNames(path, file->info, calls); !single)
        return single;
    TextOptions text = givenOptions.text;
    text.unmappableAsReferences = text.unmappableAsReferences && TakesCharacterReferences(path);
    const DiskOptions& disk = givenOptions.disk;
    const PipelineNotes asked{givenOptions.record.unmappable, disk.dryRun};
    const Result<ByteBuffer> converted = ConvertContent(file->bytes, text, rules, asked, notes);
    if (!converted)
        return converted.status();

    std::filesystem::path backup = path;
    backup += ".bak";
    const std::filesystem::path latestBackup = LatestBackup(backup, disk.backupMode);
    if (disk.keepBackup && !putBackPending && ConvertingBackupGives(latestBackup, file->bytes, text, rules, calls))
        return Status::Failure(StatusCode::ConvertedFromBackup, {.name = latestBackup.filename().string()});
    const std::array<ByteView, 2> pieces{Bom(text), ByteView(*converted)};
    notes.bytesWritten = pieces[0].size() + pieces[1].size();
    if (givenOptions.record.hashes) {
        Sha256 original;
        Sha256 written;
        written.Add(pieces[0]);
        original.Add(file->bytes);
        written.Add(pieces[1]);
        notes.originalSha256 = original.HexDigest();
        notes.writtenSha256 = written.HexDigest();
    }
    const struct stat& info = file->info;
    file->bytes = ByteBuffer();

    // Decided on the mode bits, not on what the kernel allows, so root gets the same answer.
    if (!disk.keepBackup && (info.st_mode & 0222) == 0)
        return Status::Failure(StatusCode::ReadOnly);

    ReplaceOptions replace;
    replace.ownership = FileOwnership{info.st_mode, info.st_uid, info.st_gid};
    replace.expected = IdentityOfOpenFile(file->open.Descriptor(), info, calls);
    replace.source = file->open.Descriptor();
    replace.sync = disk.sync;
    if (disk.keepBackup) {
        replace.backup = std::move(backup);
        replace.backupMode = disk.backupMode;
    }
    if (disk.dryRun)
        return putBackPending ? Status::Success() : CheckReplaceable(path, replace, calls);
    ReplaceNotes replaced;
    Status result = ReplaceFile(path, pieces, replace, calls, &replaced);
    notes.backup = std::move(replaced.backup);
    notes.replacedOtherBackup = replaced.replacedOtherBackup;
    notes.notKept = std::move(replaced.notKept);
    return result;
}

} // namespace

bool TakesCharacterReferences(const std::filesystem::path& path)
{
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    for (const char* markup : {".htm", ".html", ".shtml", ".xhtml", ".xml"}) {
        if (extension == markup)
            return true;
    }
    return false;
}

Status ConvertFile(const std::filesystem::path& path, const ConvertOptions& options, const RuleTable& rules,
                   const FileSystemCalls& calls, ConversionNotes* notes)
{
    // The one place where exceptions stop: one file must never end the run.
    try {
        ConversionNotes unused;
        return ConvertFileUnguarded(path, options, rules, calls, notes ? *notes : unused);
    } catch (const std::bad_alloc&) {
        return Status::Failure(StatusCode::OutOfMemory);
    } catch (const std::exception& e) {
        return Status::Failure(StatusCode::MappingFailed, {.name = e.what()});
    }
}

} // namespace veltran
