#include "CommandLine.h"

#include "BackupNames.h"
#include "BatchRun.h"
#include "FindFiles.h"

#include <getopt.h>

#include <algorithm>
#include <charconv>
#include <functional>
#include <string_view>

namespace veltran {

namespace {

// What the parser has seen beyond the fields it fills, for the checks made once all is read.
struct Seen
{
    bool from = false;
    bool to = false;
    bool trust = false;
    bool detect = false;
    bool cleanStaged = false;
    bool help = false;
    bool version = false;
    bool list = false;
    bool backup = false;
    bool streamRefused = false;     // an option a Stream cannot take: --report, --log, --dry-run, --filter, --backup
    std::vector<std::string> given; // the long names of the options given
};

using Setter = std::function<std::string(CommandLine&, Seen&, const std::string&)>; // an error text or ""

// One option: its long name, its short letter (0 for none), whether it takes a value, and what it sets.
struct OptionRow
{
    const char* name;
    char letter;
    bool takesValue;
    Setter set;
};

std::string KnownEncodings()
{
    std::string names;
    for (const EncodingSpelling& spelling : EncodingSpellings()) {
        names += (names.empty() ? "" : ", ") + std::string(spelling.name);
        for (const std::string_view alias : spelling.aliases)
            names += ", " + std::string(alias);
    }
    return names;
}

std::string SetEncoding(EncodingId& field, std::string_view option, const std::string& value)
{
    const std::optional<EncodingId> parsed = ParseEncoding(value);
    if (!parsed)
        return std::string(option) + " expects an encoding, not \"" + value + "\"; known: " + KnownEncodings() +
               (option == "--from" ? ", or auto" : "");
    field = *parsed;
    return {};
}

std::string SetJobs(CommandLine& c, const std::string& value)
{
    std::size_t jobs = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), jobs);
    if (error != std::errc() || end != value.data() + value.size() || jobs < 1 || jobs > kMaxJobs)
        return "--jobs expects a whole number from 1 to " + std::to_string(kMaxJobs) + ", not \"" + value + "\"";
    c.jobs = jobs;
    return {};
}

Setter Flag(bool CommandLine::*field)
{
    return [field](CommandLine& c, Seen&, const std::string&) {
        c.*field = true;
        return std::string();
    };
}

// An option whose value is a file name, kept in `field`; an empty one is refused.
Setter FileName(std::optional<std::filesystem::path> CommandLine::*field, std::string name, std::string what)
{
    return [field, name, what](CommandLine& c, Seen&, const std::string& v) {
        c.*field = v;
        return v.empty() ? name + " needs " + what : std::string();
    };
}

// An option that sets one of the conversion's switches: (c.conversion.*part).*field = value.
template <typename Part> Setter Switch(Part ConvertOptions::*part, bool Part::*field, bool value = true)
{
    return [part, field, value](CommandLine& c, Seen&, const std::string&) {
        (c.conversion.*part).*field = value;
        return std::string();
    };
}

Setter Noted(bool Seen::*field)
{
    return [field](CommandLine&, Seen& seen, const std::string&) {
        seen.*field = true;
        return std::string();
    };
}

const std::vector<OptionRow>& Options()
{
    static const std::vector<OptionRow> options{
        {"from", 'f', true,
         [](CommandLine& c, Seen& seen, const std::string& v) {
             seen.from = true;
             const bool guess = v == "auto" || v == "AUTO";
             c.conversion.text.sourceMode = guess ? SourceMode::Guessed : SourceMode::Declared;
             return guess ? std::string() : SetEncoding(c.conversion.text.source, "--from", v);
         }},
        {"to", 't', true,
         [](CommandLine& c, Seen& seen, const std::string& v) {
             seen.to = true;
             return SetEncoding(c.conversion.text.target, "--to", v);
         }},
        {"output", 'o', true, FileName(&CommandLine::output, "-o", "a file name, or - for standard output")},
        {"chinese", 0, true,
         [](CommandLine& c, Seen&, const std::string& v) {
             const std::optional<ChineseForms> forms = ParseChineseForms(v);
             c.conversion.text.chinese = forms.value_or(ChineseForms::Implied);
             return forms ? std::string()
                          : "--chinese expects keep, simplified, traditional or taiwan, not \"" + v + "\"";
         }},
        {"filter", 0, true,
         [](CommandLine& c, Seen& seen, const std::string& v) {
             c.filter = NormalizeFilter(v);
             seen.streamRefused = true;
             return v.empty() ? std::string("--filter needs at least one pattern") : std::string();
         }},
        {"no-backup", 0, false, Switch(&ConvertOptions::disk, &DiskOptions::keepBackup, false)},
        {"backup", 0, true,
         [](CommandLine& c, Seen& seen, const std::string& v) {
             const std::optional<BackupMode> mode = ParseBackupMode(v);
             c.conversion.disk.backupMode = mode.value_or(BackupMode::Simple);
             seen.backup = true;
             seen.streamRefused = true;
             return mode ? std::string() : "--backup expects simple, numbered or existing, not \"" + v + "\"";
         }},
        {"bom", 0, false, Switch(&ConvertOptions::text, &TextOptions::writeBom)},
        {"rules", 0, true, FileName(&CommandLine::rulesFile, "--rules", "a file name")},
        {"charset-header", 0, false, Flag(&CommandLine::charsetHeader)},
        {"sync", 0, false, Switch(&ConvertOptions::disk, &DiskOptions::sync)},
        {"log", 0, true,
         [](CommandLine& c, Seen& seen, const std::string& v) {
             seen.streamRefused = true;
             return FileName(&CommandLine::logFile, "--log", "a file name")(c, seen, v);
         }},
        {"declarations", 0, false, Switch(&ConvertOptions::text, &TextOptions::rewriteDeclarations)},
        {"references", 0, false, Switch(&ConvertOptions::text, &TextOptions::unmappableAsReferences)},
        {"drop-unmappable", 'c', false, Switch(&ConvertOptions::text, &TextOptions::dropUnmappable)},
        {"trust-source", 0, false, Noted(&Seen::trust)},
        {"dry-run", 0, false,
         [](CommandLine& c, Seen& seen, const std::string&) {
             c.conversion.disk.dryRun = true;
             seen.streamRefused = true;
             return std::string();
         }},
        {"report", 0, true,
         [](CommandLine& c, Seen& seen, const std::string& v) {
             seen.streamRefused = true;
             return FileName(&CommandLine::reportFile, "--report", "a file name")(c, seen, v);
         }},
        {"force", 0, false, Flag(&CommandLine::force)},
        {"undo", 0, true, FileName(&CommandLine::undoFile, "--undo", "a report file")},
        {"detect", 0, false, Noted(&Seen::detect)},
        {"clean-staged", 0, false, Noted(&Seen::cleanStaged)},
        {"list", 'l', false, Noted(&Seen::list)},
        {"jobs", 'j', true, [](CommandLine& c, Seen&, const std::string& v) { return SetJobs(c, v); }},
        {"quiet", 'q', false, Flag(&CommandLine::quiet)},
        {"verbose", 'v', false, Flag(&CommandLine::verbose)},
        {"help", 'h', false, Noted(&Seen::help)},
        {"version", 'V', false, Noted(&Seen::version)},
    };
    return options;
}

// Why getopt_long refused an argument: `argument` is the long option it was at, or empty for the
// short `letter`; `missingValue` when the option's value was missing.
std::string RefusalText(const std::string& argument, int letter, bool missingValue)
{
    if (argument.empty()) {
        const std::string shown = std::string("-") + static_cast<char>(letter);
        return missingValue ? shown + " needs a value" : "unknown option \"" + shown + "\"";
    }
    const std::string name = argument.substr(2, argument.find('=') - 2);
    if (missingValue)
        return "--" + name + " needs a value";
    std::string matches;
    std::size_t count = 0;
    for (const OptionRow& option : Options()) {
        if (std::string_view(option.name).rfind(name, 0) == 0) {
            matches += (count++ == 0 ? "--" : ", --") + std::string(option.name);
        }
    }
    if (count > 1)
        return "option \"--" + name + "\" is ambiguous: " + matches;
    if (count == 1) // a value given to an option that takes none
        return matches + " takes no value";
    return "unknown option \"" + argument + "\"";
}

Status Refuse(std::string reason)
{
    return Status::Failure(StatusCode::BadInput, {.name = std::move(reason)});
}

// The checks made once every argument is read: which command it is, and what goes together.
Result<CommandLine> Decide(CommandLine c, const Seen& seen)
{
    if (seen.help || seen.version || seen.list) {
        c.command = seen.help ? CliCommand::Help : seen.version ? CliCommand::Version : CliCommand::List;
        return c;
    }
    if (c.undoFile) {
        if (seen.from || seen.to || seen.detect || seen.cleanStaged || !c.paths.empty())
            return Refuse("--undo takes the report and nothing else to convert");
        c.command = CliCommand::Undo;
        return c;
    }
    if (seen.detect) {
        for (const std::string& name : seen.given)
            if (name != "detect" && name != "filter" && name != "quiet" && name != "verbose")
                return Refuse("--detect takes paths and --filter, not --" + name);
        if (c.paths.empty())
            return Refuse("--detect needs a file or folder");
        c.command = CliCommand::Detect;
        return c;
    }
    if (seen.cleanStaged) {
        for (const std::string& name : seen.given)
            if (name != "clean-staged" && name != "quiet" && name != "verbose")
                return Refuse("--clean-staged takes the folders and nothing to convert, not --" + name);
        if (c.paths.empty())
            return Refuse("--clean-staged needs a folder");
        c.command = CliCommand::CleanStaged;
        return c;
    }
    if (!seen.from || !seen.to)
        return Refuse("both --from and --to must be given");
    const bool oneDash = c.paths.size() == 1 && c.paths[0] == "-";
    if (c.output || c.paths.empty() || oneDash) {
        if (c.paths.size() > 1)
            return Refuse("-o takes one input file, or - for standard input");
        if (seen.streamRefused)
            return Refuse("--report, --log, --dry-run, --filter and --backup apply to conversions in place, not to -o "
                          "or standard input");
        c.command = CliCommand::Stream;
        c.conversion.disk.keepBackup = false;
    } else if (std::find(c.paths.begin(), c.paths.end(), "-") != c.paths.end()) {
        return Refuse("- (standard input) can only be converted alone");
    }
    TextOptions& text = c.conversion.text;
    if (seen.trust && text.sourceMode == SourceMode::Guessed)
        return Refuse("--trust-source needs the encoding the files are in (--from ENCODING)");
    if (seen.trust || (c.command == CliCommand::Stream && text.sourceMode == SourceMode::Declared))
        text.sourceMode = SourceMode::Trusted;
    if (text.writeBom && text.target != EncodingId::Utf8)
        return Refuse("--bom applies to UTF-8 targets only (--to utf8)");
    if (text.unmappableAsReferences && text.dropUnmappable)
        return Refuse("--references and -c (--drop-unmappable) exclude each other");
    if (seen.backup && !c.conversion.disk.keepBackup)
        return Refuse("--backup and --no-backup exclude each other");
    if (c.force && !c.reportFile)
        return Refuse("--force applies to --report only");
    return c;
}

} // namespace

Result<CommandLine> ParseCommandLine(const std::vector<std::string>& arguments)
{
    // getopt_long works on a C argument vector whose first entry is the program's name; it permutes
    // the pointers, never the strings.
    std::vector<std::string> copies;
    copies.reserve(arguments.size() + 1);
    copies.emplace_back("veltran-cli");
    copies.insert(copies.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& copy : copies)
        argv.push_back(copy.data());
    argv.push_back(nullptr);

    std::string shortOptions = ":"; // a missing value returns ':' and nothing is printed
    std::vector<option> longOptions;
    for (const OptionRow& row : Options()) {
        longOptions.push_back({row.name, row.takesValue ? required_argument : no_argument, nullptr, 0});
        if (row.letter != 0)
            shortOptions += std::string(1, row.letter) + (row.takesValue ? ":" : "");
    }
    longOptions.push_back({nullptr, 0, nullptr, 0});

    CommandLine c;
    c.filter = std::string(kDefaultFilter);
    Seen seen;
    opterr = 0;
    optind = 0; // 0 makes GNU getopt start afresh, as each parse must
    const int argc = static_cast<int>(copies.size());
    for (;;) {
        int longIndex = -1;
        const int letter = getopt_long(argc, argv.data(), shortOptions.c_str(), longOptions.data(), &longIndex);
        if (letter == -1)
            break;
        if (letter == '?' || letter == ':') {
            // A refused long option has been stepped over; argv may have been reordered, copies not.
            const std::string argument = optopt == 0 ? std::string(argv[static_cast<std::size_t>(optind - 1)]) : "";
            return Refuse(RefusalText(argument, optopt, letter == ':'));
        }
        const OptionRow* row = nullptr;
        if (longIndex >= 0) {
            row = &Options()[static_cast<std::size_t>(longIndex)];
        } else {
            for (const OptionRow& candidate : Options())
                if (candidate.letter == letter)
                    row = &candidate;
        }
        const std::string value = row->takesValue && optarg != nullptr ? optarg : "";
        if (std::string error = row->set(c, seen, value); !error.empty())
            return Refuse(std::move(error));
        seen.given.emplace_back(row->name);
    }
    for (int i = optind; i < argc; ++i)
        c.paths.emplace_back(argv[static_cast<std::size_t>(i)]); // in the order getopt_long left them
    return Decide(std::move(c), seen);
}

std::string VersionText()
{
    return "veltran-cli (Veltran) " VELTRAN_VERSION "\n"
           "Copyright (C) 2026 禾渡\n"
           "License MIT: <https://opensource.org/licenses/MIT>.\n"
           "This is free software: you are free to change and redistribute it.\n"
           "There is NO WARRANTY, to the extent permitted by law.\n";
}

std::string EncodingListText()
{
    std::string text;
    for (const EncodingSpelling& spelling : EncodingSpellings()) {
        text += std::string(spelling.name);
        for (const std::string_view alias : spelling.aliases)
            text += " " + std::string(alias);
        text += "\n";
    }
    return text;
}

} // namespace veltran
