#pragma once

#include "ConversionOptions.h"
#include "EncodingId.h"
#include "FileConverter.h"
#include "PathList.h"
#include "PerFileOptions.h"
#include "ProgressDisplay.h"
#include "RunControl.h"
#include "Status.h"
#include "UnmappableCharacters.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace veltran {

/// What a run takes from its host, one small role each.
struct RunRoles
{
    ProgressDisplay& progress;
    RunControl& control;
    PerFileOptions& options;
};

/// How many bytes of files a run converts at once at most, unless one file alone is larger.
inline constexpr std::uintmax_t kDefaultHeldBytes = std::uintmax_t{256} << 20;

/// As many jobs as the processor has cores, or 1 where that cannot be told.
std::size_t DefaultJobs();

/// Settings read once when the run starts.
struct RunSettings
{
    /// What each file's conversion does; the run reads applyRules and writeBom anew for each file. A
    /// dry run writes no log either.
    ConvertOptions conversion;
    std::string sourceName; // as logged ("auto" for a guessed source); empty when no option is set
    std::string targetName;
    /// Files converted at once: 1 converts them one after another on the calling thread; more use as
    /// many threads, the calling one among them. The run's log and outcome are the same either way.
    std::size_t jobs = 1;
    /// The sizes of the files converting at once add up to no more than this, unless one file alone
    /// is larger: that one then converts alone.
    std::uintmax_t heldBytes = kDefaultHeldBytes;
    bool keepRecords = false; // the outcome's records: each entry with its notes
    /// With keepRecords, which entries the records keep (all when empty), so that a long run keeps
    /// only what its host will show.
    std::function<bool(const Status& result, const ConversionNotes& notes)> recordWanted;
};

/// One entry of a run as it went: the path as given, the result and what the conversion found out.
struct EntryRecord
{
    std::string path; // the entry's own text: a run may keep a record of every file, and a path
                      // object holds each of its components apart
    Status result;
    ConversionNotes notes;
};

/// Converts one file through `calls`, telling `notes` what it found; the run calls it once per entry it
/// admits, from several threads at once when it has several jobs.
using ConvertFunction = std::function<Status(const std::filesystem::path&, const ConvertOptions&,
                                             const FileSystemCalls& calls, ConversionNotes& notes)>;

struct RunFailure
{
    std::filesystem::path path;
    Status reason;
};

/// A file converted with characters the target lacks, written as "?".
struct RunLoss
{
    std::filesystem::path path;
    UnmappableCharacters lost;
};

/// Files converted, by what they were read as.
struct ReadingCounts
{
    std::array<std::size_t, kEncodingCount> encodings{}; // indexed by EncodingId
    std::size_t asciiOnly = 0;                           // ASCII only, so read as anything

    void Add(const SourceReading& reading);
};

/// Something a person should know of a file that converted.
struct FileNotice
{
    std::filesystem::path path; // as given
    std::string text;           // UTF-8, e.g. "group www-data not kept: Operation not permitted"
};

struct RunOutcome
{
    bool stopped = false;      // the user confirmed a stop; the log ends with the stop entry
    bool abandoned = false;    // the program closed during the run; no log belongs to it
    std::size_t processed = 0; // entries whose conversion was attempted, from the first on
    std::vector<RunFailure> failures;
    std::vector<RunLoss> losses;           // in list order; each is also a line of the log
    ReadingCounts converted;               // what the converted files were read as
    std::vector<FileNotice> notKept;       // in list order: what of each file's metadata its new file lacks
    std::size_t replacedOtherBackups = 0;  // older backups replaced that held other bytes
    std::size_t declarationsRewritten = 0; // files converted with a charset declaration rewritten
    std::size_t undeclared = 0;            // files converted that declare no charset
    std::vector<FileNotice> putBack;       // missing files put back from their lone backup, whose path is the
                                           // text (in a dry run: that would be)
    std::vector<EntryRecord> records;      // every entry processed, in order, when the run was asked to keep them
    std::string log;                       // the log text (UTF-8, CR LF)
    Status logWritten;                     // why the log file could not be written, when it was to be
};

/// Runs over the entries, from the log header to the completion or stop entry, with a line for each
/// file that failed (with its reason in Chinese) and each that lost characters (those written as character references
/// are kept). Files start in list order, up to settings.jobs at once within settings.heldBytes, each after
/// roles.control allows it; a file already converted in the run (RunIdentities) fails without being
/// converted again, and one reached again while it converts waits for that result. Whatever the jobs,
/// results are told to the progress display, the log and the outcome in list order, as one job
/// would give them; the progress display is refreshed about a hundred times, after a file finishes.
/// On a stop the files started finish and the stop entry names the first that did not start. `now`
/// gives the log's time texts; `calls` reach the file system (a seam for tests).
RunOutcome RunBatch(const PathList& entries, const RunSettings& settings, const RunRoles& roles,
                    const ConvertFunction& convert, const std::function<std::string()>& now,
                    const FileSystemCalls& calls = SystemFileCalls());

} // namespace veltran
