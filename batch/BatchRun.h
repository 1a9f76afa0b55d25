#pragma once

#include "ConvertResult.h"
#include "EncodingId.h"
#include "FileConverter.h"

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace veltran {

/// What the window (or the command line) provides to a run: progress display, the chance to
/// handle pending input, the stop flag and the per-file check boxes.
class RunHost
{
public:
    virtual ~RunHost() = default;

    /// Progress refresh, about a hundred times a run: "正在处理，已完成 <percent> %" and the
    /// entry about to be converted.
    virtual void ShowProgress(int percent, std::size_t index) = 0;
    /// Whether mouse or keyboard input is waiting.
    virtual bool InputPending() = 0;
    /// Handles pending events once; this is where the stop controls can act.
    virtual void ProcessEvents() = 0;
    virtual bool StopRequested() const = 0;
    virtual void SetStopRequested(bool requested) = 0;
    /// Asks whether to stop; true stops the run before the current entry.
    virtual bool ConfirmStop() = 0;
    /// Read anew before each file.
    virtual bool ApplyRules() = 0;
    virtual bool WriteBom() = 0;
    /// Called around each conversion, for progress that is finer than the refresh step.
    virtual void FileStarting(std::size_t /*index*/, const std::filesystem::path& /*path*/) {}
    virtual void FileFinished(std::size_t /*index*/, const std::filesystem::path& /*path*/,
                              const ConvertResult& /*result*/)
    {
    }
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
using ConvertFunction = std::function<ConvertResult(const std::filesystem::path&, const ConvertOptions&)>;

struct RunFailure
{
    std::filesystem::path path;
    ConvertResult result;
};

struct RunOutcome
{
    bool stopped = false;
    std::vector<RunFailure> failures;
    std::string log; // the complete log text, ready for WriteRunLog
};

/// Runs the loop over the entries, from the log header to the completion or stop entry.
/// Clears the stop flag first; a stop is honoured only between files, after ConfirmStop.
/// `now` gives the date-time texts of the log.
RunOutcome RunBatch(const std::vector<std::filesystem::path>& entries, const RunSettings& settings, RunHost& host,
                    const ConvertFunction& convert, const std::function<std::string()>& now);

} // namespace veltran
