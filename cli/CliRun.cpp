#include "CliRun.h"

#include "CliEventPump.h"
#include "CliProgress.h"
#include "CommandLine.h"
#include "ExpandPaths.h"
#include "InterruptFlag.h"
#include "RulesFile.h"
#include "RunJob.h"
#include "ShownName.h"
#include "TextCodecs.h"

#include <memory>

namespace veltran {

namespace {

// " (read as GB 3, BIG5 2, ASCII only 1)": what the converted files were read as, when that was guessed.
std::string ReadingsText(const ReadingCounts& counts)
{
    std::string text;
    for (const EncodingId encoding : {EncodingId::Gb, EncodingId::Big5, EncodingId::Utf8}) {
        if (const std::size_t count = counts.encodings[static_cast<std::size_t>(encoding)]; count > 0)
            text += (text.empty() ? "" : ", ") + std::string(EncodingName(encoding)) + " " + std::to_string(count);
    }
    if (counts.asciiOnly > 0)
        text += (text.empty() ? "" : ", ") + std::string("ASCII only ") + std::to_string(counts.asciiOnly);
    return text.empty() ? text : " (read as " + text + ")";
}

void PrintSummary(std::ostream& out, const RunOutcome& outcome, const std::vector<std::filesystem::path>& entries,
                  bool guessedSource)
{
    const std::size_t converted = outcome.processed - outcome.failures.size();
    if (outcome.stopped) {
        out << "Stopped before " << ShownName(entries[outcome.processed].native()) << ": " << converted << " of "
            << entries.size() << " files converted";
    } else {
        out << "Converted " << converted << " of " << entries.size() << " files";
    }
    if (guessedSource)
        out << ReadingsText(outcome.converted);
    if (!outcome.failures.empty())
        out << ", " << outcome.failures.size() << " failed";
    out << ".\n";
}

} // namespace

int RunCli(const std::vector<std::string>& arguments, const CliEnvironment& environment)
{
    std::ostream& err = environment.err;
    const Result<CommandLine> parse = ParseCommandLine(arguments);
    if (!parse) {
        err << "veltran-cli: " << parse.status().message << "\nTry 'veltran-cli --help' for more information.\n";
        return kExitUsage;
    }
    const CommandLine& commandLine = *parse;
    if (commandLine.help) {
        environment.out << UsageText();
        return kExitSuccess;
    }
    if (commandLine.version) {
        environment.out << VersionText();
        return kExitSuccess;
    }

    RuleTable rules;
    // The charset rule, made by the run, comes first; the file's rules follow it.
    int ruleCount = commandLine.charsetHeader ? 1 : 0;
    if (commandLine.rulesFile) {
        const Result<int> loaded = LoadRulesFile(*commandLine.rulesFile, ruleCount + 1, rules);
        if (!loaded) {
            err << "veltran-cli: rules file " << ShownName(commandLine.rulesFile->native()) << ": "
                << ShownName(loaded.status().message) << '\n';
            return kExitUsage;
        }
        ruleCount += *loaded;
    }
    const bool applyRules = ruleCount > 0;

    RunRequest request;
    request.settings = MakeRunSettings(commandLine.source, commandLine.target, commandLine.keepBackup);
    if (commandLine.guessSource) {
        request.settings.guessSource = true;
        request.settings.sourceName = "auto";
    }
    request.settings.sync = commandLine.sync;
    if (ChangesNothing(request.settings, applyRules)) {
        err << kNothingToChange << '\n';
        return kExitUsage;
    }
    request.entries = ExpandPaths(commandLine.paths, commandLine.filter);
    request.makeCharsetRule = commandLine.charsetHeader;
    request.logPath = commandLine.logFile;

    std::unique_ptr<ProgressBar> bar;
    if (environment.progressOnTerminal && !commandLine.quiet)
        bar = std::make_unique<ProgressBar>(err, environment.terminalColumns);
    CliProgress progress(request.entries.size(), bar.get(), err, environment.stopAfterFiles, environment.stopSignal);
    CliEventPump events;
    FixedFileOptions options(applyRules, commandLine.writeBom);

    InterruptFlag::Install();
    const RunOutcome outcome = RunJob(request, rules, RunRoles{progress, events, options});

    if (!outcome.logWritten)
        err << "veltran-cli: the log was not written: " << ShownName(outcome.logWritten.message) << '\n';
    if (!commandLine.quiet)
        PrintSummary(environment.out, outcome, request.entries, commandLine.guessSource);

    if (outcome.stopped)
        return ExitStatusOfSignal(events.StopSignal());
    return outcome.failures.empty() && outcome.logWritten ? kExitSuccess : kExitSomeFailed;
}

} // namespace veltran
