#include "BatchRun.h"

#include "RunLog.h"

namespace veltran {

bool RefusedForItsEncoding(const Status& result)
{
    return result.code == StatusCode::WrongEncoding || result.code == StatusCode::AlreadyUtf8;
}

void ReadingCounts::Add(const SourceReading& reading)
{
    if (reading.asciiOnly)
        ++asciiOnly;
    else
        ++encodings[static_cast<std::size_t>(reading.encoding)];
}

RunOutcome RunBatch(const std::vector<std::filesystem::path>& entries, const RunSettings& settings,
                    const RunRoles& roles, const ConvertFunction& convert, const std::function<std::string()>& now)
{
    RunOutcome outcome;
    RunLog log;
    log.AddHeader(settings.sourceName, settings.targetName, now());

    EventPump& events = roles.events;
    // A stop asked for while no run was going belongs to no run.
    events.ClearStop();
    const std::size_t count = entries.size();
    // About a hundred progress refreshes per run, whatever the number of files.
    const std::size_t refreshStep = count / 100 + 1;
    bool refreshed = false;

    for (std::size_t i = 0; i < count; ++i) {
        const std::filesystem::path& entry = entries[i];
        if ((i + 1) % refreshStep == 0) {
            // The file about to be converted already counts as done.
            roles.progress.ShowProgress(static_cast<int>((i + 1) * 100 / count), i);
            refreshed = true;
        }
        // A fresh refresh forces a yield so that it gets drawn.
        if (events.InputMayBeWaiting() || refreshed) {
            events.ProcessEvents();
            refreshed = false;
        }
        if (events.Abandoned()) {
            outcome.abandoned = true;
            break;
        }
        if (events.StopRequested()) {
            if (events.ConfirmStop()) {
                log.AddStop(entry.native(), now());
                outcome.stopped = true;
                break;
            }
            events.ClearStop();
        }

        ConvertOptions options;
        options.source = settings.source;
        options.target = settings.target;
        options.keepBackup = settings.keepBackup;
        options.backupMode = settings.backupMode;
        options.applyRules = roles.options.ApplyRules();
        options.writeBom = roles.options.WriteBom();
        options.guessSource = settings.guessSource;
        options.trustSource = settings.trustSource;
        options.sync = settings.sync;
        options.rewriteDeclarations = settings.rewriteDeclarations;
        options.noteUnmappable = settings.noteUnmappable;
        options.unmappableAsReferences = settings.unmappableAsReferences;
        options.record = settings.record;
        options.dryRun = settings.dryRun;

        roles.progress.FileStarting(i, entry);
        Status result = convert(entry, options);
        ++outcome.processed;
        roles.progress.FileFinished(i, entry, result);
        if (!result.ok()) {
            log.AddFailure(entry.native(), RefusedForItsEncoding(result) ? result.message : std::string());
            outcome.failures.push_back({entry, std::move(result)});
        }
    }

    if (!outcome.stopped && !outcome.abandoned)
        log.AddCompletion(now());
    outcome.log = log.Text();
    return outcome;
}

} // namespace veltran
