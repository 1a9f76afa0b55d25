#include "CliRun.h"

#include "CleanStagedCommand.h"
#include "CliProgress.h"
#include "CliRunControl.h"
#include "CommandLine.h"
#include "DateTimeText.h"
#include "DetectCommand.h"
#include "ExpandPaths.h"
#include "FileConverter.h"
#include "InterruptFlag.h"
#include "LossMessage.h"
#include "MappingTablesFile.h"
#include "RulesFile.h"
#include "RunJob.h"
#include "RunReport.h"
#include "ShownName.h"
#include "StreamCommand.h"
#include "TextCodecs.h"
#include "UndoCommand.h"

#include <algorithm>
#include <memory>
#include <optional>

namespace veltran {

namespace {

// " (read as GB 3, BIG5 2, ASCII only 1)": what the converted files were read as, when that was guessed.
std::string ReadingsText(const ReadingCounts& counts)
{
    std::string text;
    for (const EncodingId encoding : {EncodingId::Gb, EncodingId::Big5, EncodingId::Utf8, EncodingId::Gb18030}) {
        if (const std::size_t count = counts.encodings[static_cast<std::size_t>(encoding)]; count > 0)
            text += (text.empty() ? "" : ", ") + std::string(EncodingName(encoding)) + " " + std::to_string(count);
    }
    if (counts.asciiOnly > 0)
        text += (text.empty() ? "" : ", ") + std::string("ASCII only ") + std::to_string(counts.asciiOnly);
    return text.empty() ? text : " (read as " + text + ")";
}

// What each entry's conversion found that a person should know, beyond failures (which CliProgress
// told as they happened): the characters the target lacked and, in a dry run or when verbose, each
// file converted.
void PrintNotes(const RunOutcome& outcome, const CommandLine& commandLine, const CliEnvironment& environment)
{
    const TextOptions& text = commandLine.conversion.text;
    const bool dryRun = commandLine.conversion.disk.dryRun;
    for (const EntryRecord& record : outcome.records) {
        if (!record.result)
            continue;
        const std::string path = ShownName(record.path);
        if (dryRun || commandLine.verbose) {
            environment.out << (dryRun ? "would convert: " : "converted: ") << path;
            if (text.rewriteDeclarations)
                environment.out << " (" << record.notes.declarations.rewritten << " of "
                                << record.notes.declarations.found << " charset declarations rewritten)";
            if (record.notes.mapped.count > 0)
                environment.out << " (" << record.notes.mapped.count << " Chinese character"
                                << (record.notes.mapped.count == 1 ? "" : "s")
                                << " mapped: " << record.notes.mapped.ExamplesText()
                                << (record.notes.mapped.count > record.notes.mapped.examples.size() ? " ...)" : ")");
            environment.out << '\n';
        }
        const bool references = text.unmappableAsReferences && TakesCharacterReferences(record.notes.file);
        PrintLoss(environment.err, path, record.notes.unmappable, ChosenUnmappableAs(references, text.dropUnmappable),
                  dryRun);
    }
    for (const FileNotice& notice : outcome.notKept)
        environment.err << "veltran-cli: " << ShownName(notice.path.native()) << ": " << ShownName(notice.text) << '\n';
    for (const FileNotice& notice : outcome.putBack)
        environment.err << "veltran-cli: " << ShownName(notice.path.native()) << ": missing; "
                        << (dryRun ? "would be put back" : "put back") << " from "
                        << ShownName(std::filesystem::path(notice.text).filename().native())
                        << ", which was there without it\n";
}

// After the refusals of the encoding check, how to convert such files anyway, for a person who knows
// their encoding better.
void PrintTrustHint(const RunOutcome& outcome, const CommandLine& commandLine, std::ostream& err)
{
    const std::size_t refused =
        static_cast<std::size_t>(std::count_if(outcome.records.begin(), outcome.records.end(),
                                               [](const EntryRecord& r) { return r.notes.refusal != nullptr; }));
    if (refused == 0)
        return;
    err << "veltran-cli: " << refused << (refused == 1 ? " file was" : " files were")
        << " refused by the encoding check; ";
    if (commandLine.conversion.text.sourceMode == SourceMode::Guessed)
        err << "if you know the encoding, --from ENC --trust-source converts as that regardless\n";
    else
        err << "if they are " << EncodingName(commandLine.conversion.text.source)
            << ", --trust-source converts them regardless\n";
}

// ", 3 files with characters the target lacks, declarations rewritten in 4 files, 2 files declare no charset".
std::string NotesText(const RunOutcome& outcome, bool declarations)
{
    const std::size_t lossy = static_cast<std::size_t>(
        std::count_if(outcome.records.begin(), outcome.records.end(),
                      [](const EntryRecord& r) { return r.result && r.notes.unmappable.count > 0; }));
    std::string text;
    if (lossy > 0)
        text += ", " + std::to_string(lossy) + " with characters the target lacks";
    if (const std::size_t replaced = outcome.replacedOtherBackups; replaced > 0)
        text += ", " + std::to_string(replaced) + (replaced == 1 ? " older .bak" : " older .bak files") +
                " that held other bytes replaced (--backup=numbered keeps them)";
    if (declarations)
        text += ", declarations rewritten in " + std::to_string(outcome.declarationsRewritten) + ", " +
                std::to_string(outcome.undeclared) + " declaring no charset";
    return text;
}

void PrintSummary(std::ostream& out, const RunOutcome& outcome, const PathList& entries, bool guessedSource,
                  const CommandLine& commandLine)
{
    const std::size_t converted = outcome.processed - outcome.failures.size();
    if (outcome.stopped) {
        out << "Stopped before " << ShownName(entries.Native(outcome.processed)) << ": " << converted << " of "
            << entries.size() << " files converted";
    } else {
        out << (commandLine.conversion.disk.dryRun ? "Would convert " : "Converted ") << converted << " of "
            << entries.size() << " files";
    }
    if (guessedSource)
        out << ReadingsText(outcome.converted);
    if (!outcome.failures.empty())
        out << ", " << outcome.failures.size() << (commandLine.conversion.disk.dryRun ? " would fail" : " failed");
    out << NotesText(outcome, commandLine.conversion.text.rewriteDeclarations) << ".\n";
}

// Reads the rules file into `rules` after the charset rule's place; how many rules the run has, or
// nothing when the file cannot be used (told on `err`).
std::optional<int> LoadRules(const CommandLine& commandLine, RuleTable& rules, std::ostream& err)
{
    // The charset rule, made by the run, comes first; the file's rules follow it.
    int ruleCount = commandLine.charsetHeader ? 1 : 0;
    if (!commandLine.rulesFile)
        return ruleCount;
    const Result<int> loaded = LoadRulesFile(*commandLine.rulesFile, ruleCount + 1, rules);
    if (!loaded) {
        err << "veltran-cli: rules file " << ShownName(commandLine.rulesFile->native()) << ": "
            << ShownName(loaded.status().message) << '\n';
        return std::nullopt;
    }
    return ruleCount + *loaded;
}

int RunConversion(const CommandLine& commandLine, RuleTable& rules, bool applyRules, const CliEnvironment& environment)
{
    std::ostream& err = environment.err;
    // A report names what undo may put back; one written over by a later run could not undo this one.
    std::error_code ec;
    if (commandLine.reportFile && !commandLine.force &&
        std::filesystem::symlink_status(*commandLine.reportFile, ec).type() != std::filesystem::file_type::not_found) {
        err << "veltran-cli: " << ShownName(commandLine.reportFile->native())
            << " exists: give --force to replace it, or another name\n";
        return kExitUsage;
    }

    RunRequest request;
    const TextOptions& text = commandLine.conversion.text;
    const bool guessed = text.sourceMode == SourceMode::Guessed;
    request.settings.conversion = commandLine.conversion;
    request.settings.conversion.record = {true, commandLine.reportFile.has_value()};
    request.settings.sourceName = guessed ? "auto" : EncodingName(text.source);
    request.settings.targetName = EncodingName(text.target);
    request.settings.keepRecords = true;
    // The notes after the run need every entry only in a dry run or for the report; otherwise a long run
    // keeps the few with characters lost or refused by the encoding check, so its memory stays flat.
    if (!commandLine.conversion.disk.dryRun && !commandLine.reportFile)
        request.settings.recordWanted = [](const Status&, const ConversionNotes& notes) {
            return notes.unmappable.count > 0 || notes.refusal != nullptr;
        };
    request.settings.jobs = commandLine.jobs;
    if (ChangesNothing(request.settings, applyRules)) {
        err << "veltran-cli: the files are in the target encoding already and no rules or --chinese are given: "
               "nothing to change\n";
        return kExitUsage;
    }
    std::vector<std::filesystem::path> strays;
    request.entries = ExpandPaths(commandLine.paths, commandLine.filter, &strays);
    ReportStrays(strays, err);
    request.roots = commandLine.paths;
    request.makeCharsetRule = commandLine.charsetHeader;
    request.logPath = commandLine.logFile;

    std::unique_ptr<ProgressBar> bar;
    if (environment.progressOnTerminal && !commandLine.quiet)
        bar = std::make_unique<ProgressBar>(err, environment.terminalColumns);
    CliProgress progress(request.entries.size(), bar.get(), err);
    CliRunControl control(environment.stopAfterFiles, environment.stopSignal);
    FixedFileOptions options(applyRules, text.writeBom);

    InterruptFlag::Install();
    const std::string started = IsoNowText();
    const RunOutcome outcome = RunJob(request, rules, RunRoles{progress, control, options});

    PrintNotes(outcome, commandLine, environment);
    PrintTrustHint(outcome, commandLine, err);
    if (!outcome.logWritten)
        err << "veltran-cli: the log was not written: " << ShownName(request.logPath->native()) << ": "
            << ShownName(outcome.logWritten.message) << '\n';
    Status reported;
    if (commandLine.reportFile) {
        reported = WriteRunReport(*commandLine.reportFile, request, outcome, started, IsoNowText());
        if (!reported)
            err << "veltran-cli: the report was not written: " << ShownName(commandLine.reportFile->native()) << ": "
                << ShownName(reported.message) << '\n';
    }
    if (!commandLine.quiet)
        PrintSummary(environment.out, outcome, request.entries, guessed, commandLine);

    if (outcome.stopped)
        return ExitStatusOfSignal(control.StopSignal());
    return outcome.failures.empty() && outcome.logWritten && reported ? kExitSuccess : kExitSomeFailed;
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
    switch (commandLine.command) {
    case CliCommand::Help:
        environment.out << UsageText();
        return kExitSuccess;
    case CliCommand::Version:
        environment.out << VersionText();
        return kExitSuccess;
    case CliCommand::List:
        environment.out << EncodingListText();
        return kExitSuccess;
    case CliCommand::Undo:
        return RunUndoCommand(*commandLine.undoFile, environment);
    case CliCommand::Detect:
        return RunDetectCommand(commandLine.paths, commandLine.filter, environment);
    case CliCommand::CleanStaged:
        return RunCleanStagedCommand(commandLine.paths, commandLine.quiet, environment);
    case CliCommand::Convert:
    case CliCommand::Stream:
        break;
    }
    // A run in place checks every byte of the tables, which costs little beside it; a pipe or -o,
    // often run once per file, checks their layout alone.
    const Result<const MappingTablesFile*> tables = LoadMappingTables();
    const Status usable = !tables                                      ? tables.status()
                          : commandLine.command == CliCommand::Convert ? (*tables)->CheckDigests()
                                                                       : Status();
    if (!usable) {
        err << "veltran-cli: " << usable.message << '\n';
        return kExitSomeFailed;
    }
    RuleTable rules;
    const std::optional<int> ruleCount = LoadRules(commandLine, rules, err);
    if (!ruleCount)
        return kExitUsage;
    if (commandLine.command == CliCommand::Stream)
        return RunStreamCommand(commandLine, rules, *ruleCount > 0, environment);
    return RunConversion(commandLine, rules, *ruleCount > 0, environment);
}

} // namespace veltran
