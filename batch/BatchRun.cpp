#include "BatchRun.h"

#include "Reasons.h"
#include "RunLog.h"

namespace veltran {

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

        ConvertOptions options = settings.conversion;
        options.text.applyRules = roles.options.ApplyRules();
        options.text.writeBom = roles.options.WriteBom();

        roles.progress.FileStarting(i, entry);
        UnmappableCharacters lost;
        Status result = convert(entry, options, lost);
        ++outcome.processed;
        roles.progress.FileFinished(i, entry, result);
        if (!result.ok()) {
            log.AddFailure(entry.native(), ReasonText(result, Language::Chinese));
            outcome.failures.push_back({entry, std::move(result)});
        } else if (lost.count > 0) {
            log.AddLoss(entry.native(), lost);
            outcome.losses.push_back({entry, std::move(lost)});
        }
    }

    if (!outcome.stopped && !outcome.abandoned)
        log.AddCompletion(now());
    outcome.log = log.Text();
    return outcome;
}

} // namespace veltran
