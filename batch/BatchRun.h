#pragma once

#include "ConversionOptions.h"
#include "EncodingId.h"
#include "EventPump.h"
#include "FileConverter.h"
#include "PerFileOptions.h"
#include "ProgressDisplay.h"
#include "Status.h"
#include "UnmappableCharacters.h"

#include <array>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace veltran {

/// What a run takes from its host, one small role each.
struct RunRoles
{
    ProgressDisplay& progress;
    EventPump& events;
    PerFileOptions& options;
};

/// Settings read once when the run starts.
struct RunSettings
{
    /// What each file's conversion does; the run reads applyRules and writeBom anew for each file. A
    /// dry run writes no log either.
    ConvertOptions conversion;
    std::string sourceName; // as logged ("auto" for a guessed source); empty when no option is set
    std::string targetName;
};

/// One entry of a run as it went: the path as given, the result and what the conversion found out.
struct EntryRecord
{
    std::filesystem::path path;
    Status result;
    ConversionNotes notes;
};

/// Converts one file; the run calls it once per entry. `lost` is told the characters the target
/// lacked that a converted file holds as "?" (not those written as character references).
using ConvertFunction =
    std::function<Status(const std::filesystem::path&, const ConvertOptions&, UnmappableCharacters& lost)>;

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
    std::vector<RunLoss> losses;          // in list order; each is also a line of the log
    ReadingCounts converted;              // filled by RunJob
    std::vector<FileNotice> notKept;      // filled by RunJob: what of each file's metadata its new file lacks
    std::size_t replacedOtherBackups = 0; // filled by RunJob: older backups replaced that held other bytes
    std::vector<FileNotice> putBack;      // filled by RunJob: missing files put back from their lone backup,
                                          // whose path is the text (in a dry run: that would be)
    std::vector<EntryRecord> records;     // every entry processed, in order, when the run was asked to keep them
    std::string log;                      // the log text (UTF-8, CR LF)
    Status logWritten;                    // why the log file could not be written, when it was to be
};

/// Runs the loop over the entries, from the log header to the completion or stop entry, with a line
/// for each file that failed and each that lost characters. Clears the
/// stop flag first; a stop is honoured only between files, after ConfirmStop. Yields to the host's
/// events when a refresh was just shown or input may be waiting. `now` gives the log's time texts.
RunOutcome RunBatch(const std::vector<std::filesystem::path>& entries, const RunSettings& settings,
                    const RunRoles& roles, const ConvertFunction& convert, const std::function<std::string()>& now);

} // namespace veltran
