#include "RunJob.h"

#include "CharsetHeader.h"
#include "RunLog.h"
#include "TextCodecs.h"
#include "UnreadableFolder.h"

#include <new>
#include <set>
#include <sys/stat.h>
#include <system_error>
#include <utility>

namespace veltran {

RunSettings MakeRunSettings(std::optional<EncodingId> source, std::optional<EncodingId> target, bool keepBackup)
{
    RunSettings settings;
    settings.conversion.text.source = source.value_or(EncodingId::Gb);
    settings.conversion.text.target = target.value_or(EncodingId::Gb);
    settings.conversion.disk.keepBackup = keepBackup;
    settings.sourceName = source ? EncodingName(*source) : std::string_view();
    settings.targetName = target ? EncodingName(*target) : std::string_view();
    return settings;
}

bool ChangesNothing(const RunSettings& settings, bool rulesOn)
{
    const TextOptions& text = settings.conversion.text;
    const bool formsImplied = text.chinese == ChineseForms::Implied || text.chinese == ChineseForms::Keep;
    return text.sourceMode != SourceMode::Guessed && text.source == text.target && !rulesOn && formsImplied;
}

namespace {

// The files converted so far in a run, by device and inode: each file both as it was read and as it
// was written, since the converted file is a new one that a later link to it reaches.
class ConvertedFiles
{
public:
    bool Contains(const struct stat& info) const { return m_files.count(Key(info)) > 0; }
    void Add(const struct stat& info) { m_files.insert(Key(info)); }
    void Remove(const struct stat& info) noexcept { m_files.erase(Key(info)); }

private:
    static std::pair<dev_t, ino_t> Key(const struct stat& info) { return {info.st_dev, info.st_ino}; }

    std::set<std::pair<dev_t, ino_t>> m_files;
};

// Converts one entry of the run: a folder left in the list by a scan that could not read it fails, and
// so does a file converted earlier in the run, reached again by another path or a link.
Status ConvertEntry(const std::filesystem::path& path, const ConvertOptions& options, const RuleTable& rules,
                    const FileSystemCalls& calls, ConvertedFiles& converted, ReadingCounts& counts,
                    ConversionNotes& notes)
{
    struct stat own = {};
    const bool found = calls.LinkStat(path, own) == 0;
    if (found && S_ISDIR(own.st_mode))
        return UnreadableFolderFailure(path, calls);
    struct stat before = own;
    const bool known = found && (!S_ISLNK(own.st_mode) || calls.Stat(path, before) == 0);
    if (known && converted.Contains(before))
        return Status::Failure(StatusCode::AlreadyConverted);
    // Noted before the conversion, while a lack of memory still changes nothing on disk.
    if (known)
        converted.Add(before);
    Status result = ConvertFile(path, options, rules, calls, &notes);
    if (!result) {
        if (known)
            converted.Remove(before);
        return result;
    }
    counts.Add(notes.reading);
    try {
        struct stat after = {};
        if (calls.Stat(path, after) == 0)
            converted.Add(after);
    } catch (const std::bad_alloc&) {
        // The file is converted; without memory to note its new identity, only a link to it could
        // reach it again in this run.
    }
    return result;
}

} // namespace

RunOutcome RunJob(const RunRequest& request, RuleTable& rules, const RunRoles& roles,
                  const std::function<std::string()>& now, const FileSystemCalls& calls)
{
    if (request.makeCharsetRule)
        MakeCharsetRule(rules, request.settings.conversion.text.target, now());

    ConvertedFiles converted;
    ReadingCounts counts;
    std::vector<EntryRecord> records;
    std::vector<FileNotice> notKept;
    std::size_t replacedOtherBackups = 0;
    std::vector<FileNotice> putBack;
    const ConvertFunction convert = [&](const std::filesystem::path& path, const ConvertOptions& options,
                                        UnmappableCharacters& lost) {
        // ConvertFile catches its own; this is the run's bookkeeping around it, which one file must
        // not end either.
        try {
            ConversionNotes notes;
            Status result = ConvertEntry(path, options, rules, calls, converted, counts, notes);
            // Characters written as references are kept, only in another form; only "?" loses them.
            if (result && !(options.text.unmappableAsReferences && TakesCharacterReferences(notes.file)))
                lost = notes.unmappable;
            for (const std::string& text : notes.notKept)
                notKept.push_back({path, text});
            replacedOtherBackups += notes.replacedOtherBackup ? 1 : 0;
            if (!notes.putBackFrom.empty())
                putBack.push_back({path, notes.putBackFrom.string()});
            if (request.keepRecords)
                records.push_back({path, result, std::move(notes)});
            return result;
        } catch (const std::bad_alloc&) {
            Status result = Status::Failure(StatusCode::OutOfMemory);
            if (request.keepRecords)
                records.push_back({path, result, {}});
            return result;
        }
    };
    RunOutcome outcome = RunBatch(request.entries, request.settings, roles, convert, now);
    outcome.converted = counts;
    outcome.records = std::move(records);
    outcome.notKept = std::move(notKept);
    outcome.replacedOtherBackups = replacedOtherBackups;
    outcome.putBack = std::move(putBack);
    roles.progress.RunEnded();

    if (request.logPath && !outcome.abandoned && !request.settings.conversion.disk.dryRun)
        outcome.logWritten = WriteRunLog(*request.logPath, outcome.log);
    return outcome;
}

} // namespace veltran
