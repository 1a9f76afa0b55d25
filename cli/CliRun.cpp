#include "CliRun.h"

#include "CliEventPump.h"
#include "CliProgress.h"
#include "CommandLine.h"
#include "ExpandPaths.h"
#include "InterruptFlag.h"
#include "RulesFile.h"
#include "RunJob.h"

#include <memory>

namespace veltran {

namespace {

void PrintSummary(std::ostream& out, const RunOutcome& outcome, const std::vector<std::filesystem::path>& entries)
{
    const std::size_t converted = outcome.processed - outcome.failures.size();
    if (outcome.stopped) {
        out << "Stopped before " << entries[outcome.processed].native() << ": " << converted << " of " << entries.size()
            << " files converted";
    } else {
        out << "Converted " << converted << " of " << entries.size() << " files";
    }
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
            err << "veltran-cli: rules file " << commandLine.rulesFile->native() << ": " << loaded.status().message
                << '\n';
            return kExitUsage;
        }
        ruleCount += *loaded;
    }
    const bool applyRules = ruleCount > 0;

    RunRequest request;
    request.settings = MakeRunSettings(commandLine.source, commandLine.target, commandLine.keepBackup);
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
    CliProgress progress(request.entries.size(), bar.get(), err, environment.stopAfterFiles);
    CliEventPump events;
    FixedFileOptions options(applyRules, commandLine.writeBom);

    InterruptFlag::Install();
    const RunOutcome outcome = RunJob(request, rules, RunRoles{progress, events, options});

    if (!outcome.logWritten)
        err << "veltran-cli: the log was not written: " << outcome.logWritten.message << '\n';
    if (!commandLine.quiet)
        PrintSummary(environment.out, outcome, request.entries);

    if (outcome.stopped)
        return kExitStopped;
    return outcome.failures.empty() && outcome.logWritten ? kExitSuccess : kExitSomeFailed;
}

} // namespace veltran
