#include "BatchRun.h"

#include "RunLog.h"

namespace veltran {

RunOutcome RunBatch(const std::vector<std::filesystem::path>& entries, const RunSettings& settings, RunHost& host,
                    const ConvertFunction& convert, const std::function<std::string()>& now)
{
    RunOutcome outcome;
    RunLog log;
    log.AddHeader(settings.sourceName, settings.targetName, now());

    // A stop asked for while no run was going belongs to no run.
    host.SetStopRequested(false);
    const std::size_t count = entries.size();
    // About a hundred progress refreshes per run, whatever the number of files.
    const std::size_t refreshStep = count / 100 + 1;
    bool refreshed = false;

    for (std::size_t i = 0; i < count; ++i) {
        const std::filesystem::path& entry = entries[i];
        if ((i + 1) % refreshStep == 0) {
            // The file about to be converted already counts as done.
            host.ShowProgress(static_cast<int>((i + 1) * 100 / count), i);
            refreshed = true;
        }
        // The host is always asked about waiting input; a fresh refresh forces a yield so it gets drawn.
        const bool inputPending = host.InputPending();
        if (inputPending || refreshed) {
            host.ProcessEvents();
            refreshed = false;
        }
        if (host.StopRequested()) {
            if (host.ConfirmStop()) {
                log.AddStop(entry.native(), now());
                outcome.stopped = true;
                break;
            }
            host.SetStopRequested(false);
        }

        ConvertOptions options;
        options.source = settings.source;
        options.target = settings.target;
        options.keepBackup = settings.keepBackup;
        options.applyRules = host.ApplyRules();
        options.writeBom = host.WriteBom();

        host.FileStarting(i, entry);
        ConvertResult result = convert(entry, options);
        host.FileFinished(i, entry, result);
        if (!result.ok()) {
            log.AddFailure(entry.native());
            outcome.failures.push_back({entry, std::move(result)});
        }
    }

    if (!outcome.stopped)
        log.AddCompletion(now());
    outcome.log = log.Text();
    return outcome;
}

} // namespace veltran
