#include "CliRun.h"

#include "BatchRun.h"
#include "CharsetHeader.h"
#include "CliHost.h"
#include "CommandLine.h"
#include "DateTimeText.h"
#include "FindFiles.h"
#include "InterruptFlag.h"
#include "RulesFile.h"
#include "RunLog.h"
#include "TextCodecs.h"

#include <memory>
#include <set>
#include <system_error>

namespace veltran {

namespace {

constexpr std::string_view kNothingToChange = "编码格式和文件内容均不做改变，不需要处理。";

struct Entries
{
    std::vector<std::filesystem::path> paths;
    std::set<std::filesystem::path> unreadableFolders;
};

// Files in argument order; a folder puts its matching files in its own place. A path that does
// not exist stays an entry, so that its conversion fails and is logged like any other.
Entries CollectEntries(const CommandLine& commandLine)
{
    Entries entries;
    for (const std::filesystem::path& path : commandLine.paths) {
        std::error_code ignored;
        if (!std::filesystem::is_directory(path, ignored)) {
            entries.paths.push_back(path);
            continue;
        }
        FindFilesResult found = FindFiles(path, commandLine.filter);
        entries.paths.insert(entries.paths.end(), found.files.begin(), found.files.end());
        // A folder the scan could not read fails as an entry of its own rather than vanish unnoticed.
        for (std::filesystem::path& folder : found.unreadableFolders) {
            entries.unreadableFolders.insert(folder);
            entries.paths.push_back(std::move(folder));
        }
    }
    return entries;
}

std::u16string Utf16(const std::string& text)
{
    const auto bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    return Utf8Decode(ByteView(bytes, text.size())).text;
}

void PrintSummary(std::ostream& out, const RunOutcome& outcome, std::size_t attempted, std::size_t total,
                  const std::vector<std::filesystem::path>& entries)
{
    const std::size_t converted = attempted - outcome.failures.size();
    if (outcome.stopped) {
        out << "Stopped before " << entries[attempted].native() << ": " << converted << " of " << total
            << " files converted";
    } else {
        out << "Converted " << converted << " of " << total << " files";
    }
    if (!outcome.failures.empty())
        out << ", " << outcome.failures.size() << " failed";
    out << ".\n";
}

} // namespace

int RunCli(const std::vector<std::string>& arguments, const CliEnvironment& environment)
{
    std::ostream& err = environment.err;
    const CommandLineParse parse = ParseCommandLine(arguments);
    if (!parse.error.empty()) {
        err << "veltran-cli: " << parse.error << "\nTry 'veltran-cli --help' for more information.\n";
        return kExitUsage;
    }
    const CommandLine& commandLine = parse.commandLine;
    if (commandLine.help) {
        environment.out << UsageText();
        return kExitSuccess;
    }
    if (commandLine.version) {
        environment.out << VersionText();
        return kExitSuccess;
    }

    RuleTable rules;
    if (commandLine.charsetHeader)
        MakeCharsetRule(rules, commandLine.target, Utf16(NowText()));
    int ruleCount = commandLine.charsetHeader ? 1 : 0;
    if (commandLine.rulesFile) {
        const RulesFileResult loaded = LoadRulesFile(*commandLine.rulesFile, ruleCount + 1, rules);
        if (!loaded.ok()) {
            err << "veltran-cli: rules file " << commandLine.rulesFile->native() << ": " << loaded.error << '\n';
            return kExitUsage;
        }
        ruleCount += loaded.ruleCount;
    }
    const bool applyRules = ruleCount > 0;
    if (commandLine.source == commandLine.target && !applyRules) {
        err << kNothingToChange << '\n';
        return kExitUsage;
    }

    const Entries entries = CollectEntries(commandLine);
    RunSettings settings;
    settings.source = commandLine.source;
    settings.target = commandLine.target;
    settings.sourceName = EncodingName(commandLine.source);
    settings.targetName = EncodingName(commandLine.target);
    settings.keepBackup = commandLine.keepBackup;

    std::unique_ptr<ProgressBar> progress;
    if (environment.progressOnTerminal && !commandLine.quiet)
        progress = std::make_unique<ProgressBar>(err, environment.terminalColumns);
    CliHost host(applyRules, commandLine.writeBom, entries.paths.size(), progress.get(), err,
                 environment.stopAfterFiles);
    const ConvertFunction convert = [&](const std::filesystem::path& path, const ConvertOptions& options) {
        if (entries.unreadableFolders.count(path) > 0)
            return ConvertResult::Failure(ConvertError::Permission, "the folder could not be searched");
        return ConvertFile(path, options, rules);
    };

    InterruptFlag::Install();
    const RunOutcome outcome = RunBatch(entries.paths, settings, host, convert, NowText);
    if (progress)
        progress->Clear();

    bool logFailed = false;
    if (commandLine.logFile) {
        const LogWriteResult written = WriteRunLog(*commandLine.logFile, outcome.log);
        if (!written.ok()) {
            err << "veltran-cli: the log was not written: " << written.error << '\n';
            logFailed = true;
        }
    }
    if (!commandLine.quiet)
        PrintSummary(environment.out, outcome, host.FinishedCount(), entries.paths.size(), entries.paths);

    if (outcome.stopped)
        return kExitStopped;
    return outcome.failures.empty() && !logFailed ? kExitSuccess : kExitSomeFailed;
}

} // namespace veltran
