#pragma once

#include "EncodingId.h"
#include "EventPump.h"
#include "FileConverter.h"
#include "PerFileOptions.h"
#include "ProgressDisplay.h"
#include "Status.h"

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
    EncodingId source = EncodingId::Gb;
    EncodingId target = EncodingId::Utf8;
    std::string sourceName; // as logged; empty when no option is set
    std::string targetName;
    bool keepBackup = true;
};

/// Converts one file; the run calls it once per entry.
using ConvertFunction = std::function<Status(const std::filesystem::path&, const ConvertOptions&)>;

struct RunFailure
{
    std::filesystem::path path;
    Status reason;
};

struct RunOutcome
{
    bool stopped = false;      // the user confirmed a stop; the log ends with the stop entry
    bool abandoned = false;    // the program closed during the run; no log belongs to it
    std::size_t processed = 0; // entries whose conversion was attempted, from the first on
    std::vector<RunFailure> failures;
    std::string log;   // the log text (UTF-8, CR LF)
    Status logWritten; // why the log file could not be written, when it was to be
};

/// Runs the loop over the entries, from the log header to the completion or stop entry. Clears the
/// stop flag first; a stop is honoured only between files, after ConfirmStop. Yields to the host's
/// events when a refresh was just shown or input may be waiting. `now` gives the log's time texts.
RunOutcome RunBatch(const std::vector<std::filesystem::path>& entries, const RunSettings& settings,
                    const RunRoles& roles, const ConvertFunction& convert, const std::function<std::string()>& now);

} // namespace veltran
