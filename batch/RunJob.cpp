#include "RunJob.h"

#include "CharsetHeader.h"
#include "RunLog.h"
#include "TextCodecs.h"

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

RunOutcome RunJob(const RunRequest& request, RuleTable& rules, const RunRoles& roles,
                  const std::function<std::string()>& now, const FileSystemCalls& calls)
{
    if (request.makeCharsetRule)
        MakeCharsetRule(rules, request.settings.conversion.text.target, now());

    const ConvertFunction convert = [&rules](const std::filesystem::path& path, const ConvertOptions& options,
                                             const FileSystemCalls& fileCalls, ConversionNotes& notes) {
        return ConvertFile(path, options, rules, fileCalls, &notes);
    };
    RunOutcome outcome = RunBatch(request.entries, request.settings, roles, convert, now, calls);
    roles.progress.RunEnded();

    if (request.logPath && !outcome.abandoned && !request.settings.conversion.disk.dryRun)
        outcome.logWritten = WriteRunLog(*request.logPath, outcome.log);
    return outcome;
}

} // namespace veltran
