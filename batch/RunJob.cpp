#include "RunJob.h"

#include "CharsetHeader.h"
#include "RunLog.h"
#include "TextCodecs.h"

#include <system_error>

namespace veltran {

RunSettings MakeRunSettings(std::optional<EncodingId> source, std::optional<EncodingId> target, bool keepBackup)
{
    RunSettings settings;
    settings.source = source.value_or(EncodingId::Gb);
    settings.target = target.value_or(EncodingId::Gb);
    settings.sourceName = source ? EncodingName(*source) : std::string_view();
    settings.targetName = target ? EncodingName(*target) : std::string_view();
    settings.keepBackup = keepBackup;
    return settings;
}

bool ChangesNothing(const RunSettings& settings, bool rulesOn)
{
    return settings.source == settings.target && !rulesOn;
}

RunOutcome RunJob(const RunRequest& request, RuleTable& rules, const RunRoles& roles,
                  const std::function<std::string()>& now)
{
    if (request.makeCharsetRule)
        MakeCharsetRule(rules, request.settings.target, now());

    const ConvertFunction convert = [&rules](const std::filesystem::path& path, const ConvertOptions& options) {
        std::error_code ignored;
        if (std::filesystem::is_directory(path, ignored) && !std::filesystem::is_symlink(path, ignored))
            return Status::Failure(StatusCode::FolderUnreadable, "the folder could not be searched");
        return ConvertFile(path, options, rules);
    };
    RunOutcome outcome = RunBatch(request.entries, request.settings, roles, convert, now);
    roles.progress.RunEnded();

    if (request.logPath && !outcome.abandoned)
        outcome.logWritten = WriteRunLog(*request.logPath, outcome.log);
    return outcome;
}

} // namespace veltran
