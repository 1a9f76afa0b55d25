#include "CommandLine.h"

#include "BatchRun.h"
#include "FindFiles.h"

#include <charconv>
#include <functional>
#include <string_view>

namespace veltran {

namespace {

using ValueSetter = std::function<std::string(CommandLine&, const std::string&)>;

struct ValueOption
{
    std::string_view name;
    ValueSetter set; // returns an error text, empty when the value was taken
};

std::string SetEncoding(EncodingId& field, std::string_view option, const std::string& value)
{
    const std::optional<EncodingId> parsed = ParseEncoding(value);
    if (!parsed)
        return std::string(option) + " expects gb, big5 or utf8, not \"" + value + "\"";
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

// An option whose value is a file name, kept in `field`; an empty one is refused.
ValueOption FileOption(std::string_view name, std::optional<std::filesystem::path> CommandLine::*field,
                       std::string_view what)
{
    return {name, [name, field, what](CommandLine& c, const std::string& v) {
                c.*field = v;
                return v.empty() ? std::string(name) + " needs " + std::string(what) : std::string();
            }};
}

const std::vector<ValueOption>& ValueOptions()
{
    static const std::vector<ValueOption> options{
        {"--from",
         [](CommandLine& c, const std::string& v) {
             const bool guess = v == "auto" || v == "AUTO";
             c.conversion.text.sourceMode = guess ? SourceMode::Guessed : SourceMode::Declared;
             return guess ? std::string() : SetEncoding(c.conversion.text.source, "--from", v);
         }},
        {"--to", [](CommandLine& c, const std::string& v) { return SetEncoding(c.conversion.text.target, "--to", v); }},
        {"--backup",
         [](CommandLine& c, const std::string& v) {
             const std::optional<BackupMode> mode = ParseBackupMode(v);
             c.conversion.disk.backupMode = mode.value_or(BackupMode::Simple);
             return mode ? std::string() : "--backup expects simple, numbered or existing, not \"" + v + "\"";
         }},
        {"--filter",
         [](CommandLine& c, const std::string& v) {
             c.filter = NormalizeFilter(v);
             return v.empty() ? std::string("--filter needs at least one pattern") : std::string();
         }},
        FileOption("--rules", &CommandLine::rulesFile, "a file name"),
        FileOption("--log", &CommandLine::logFile, "a file name"),
        FileOption("--report", &CommandLine::reportFile, "a file name"),
        FileOption("--undo", &CommandLine::undoFile, "a report file"),
        {"--jobs", SetJobs},
        {"-j", SetJobs},
    };
    return options;
}

// Returns false when the argument is not a flag. --trust-source is only noted, since --from decides
// whether it can apply.
bool SetFlag(CommandLine& c, std::string_view argument, bool& trust)
{
    if (argument == "--no-backup")
        c.conversion.disk.keepBackup = false;
    else if (argument == "--bom")
        c.conversion.text.writeBom = true;
    else if (argument == "--sync")
        c.conversion.disk.sync = true;
    else if (argument == "--declarations")
        c.conversion.text.rewriteDeclarations = true;
    else if (argument == "--references")
        c.conversion.text.unmappableAsReferences = true;
    else if (argument == "--trust-source")
        trust = true;
    else if (argument == "--dry-run")
        c.conversion.disk.dryRun = true;
    else if (argument == "--force")
        c.force = true;
    else if (argument == "--charset-header")
        c.charsetHeader = true;
    else if (argument == "--quiet" || argument == "-q")
        c.quiet = true;
    else if (argument == "--help" || argument == "-h")
        c.help = true;
    else if (argument == "--version")
        c.version = true;
    else
        return false;
    return true;
}

} // namespace

Result<CommandLine> ParseCommandLine(const std::vector<std::string>& arguments)
{
    const auto refuse = [](std::string reason) { return Status::Failure(StatusCode::BadInput, std::move(reason)); };
    CommandLine c;
    c.filter = std::string(kDefaultFilter);
    bool sawFrom = false;
    bool sawBackup = false;
    bool trust = false;
    bool sawTo = false;
    bool optionsEnded = false;

    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnded || argument.empty() || argument[0] != '-' || argument == "-") {
            c.paths.emplace_back(argument);
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        if (SetFlag(c, argument, trust))
            continue;

        const std::size_t equals = argument.find('=');
        const std::string_view name = std::string_view(argument).substr(0, equals);
        const ValueOption* option = nullptr;
        for (const ValueOption& candidate : ValueOptions()) {
            if (candidate.name == name)
                option = &candidate;
        }
        if (option == nullptr)
            return refuse("unknown option \"" + argument + "\"");
        std::string value;
        if (equals != std::string::npos) {
            value = argument.substr(equals + 1);
        } else if (i + 1 < arguments.size()) {
            value = arguments[++i];
        } else {
            return refuse(std::string(name) + " needs a value");
        }
        if (std::string error = option->set(c, value); !error.empty())
            return refuse(std::move(error));
        sawFrom = sawFrom || name == "--from";
        sawBackup = sawBackup || name == "--backup";
        sawTo = sawTo || name == "--to";
    }

    if (c.help || c.version)
        return c;
    if (c.undoFile) {
        if (sawFrom || sawTo || !c.paths.empty())
            return refuse("--undo takes the report and nothing else to convert");
        return c;
    }
    if (!sawFrom || !sawTo)
        return refuse("both --from and --to must be given");
    if (c.paths.empty())
        return refuse("no file or folder given");
    TextOptions& text = c.conversion.text;
    if (trust && text.sourceMode == SourceMode::Guessed)
        return refuse("--trust-source needs the encoding the files are in (--from gb, big5 or utf8)");
    if (trust)
        text.sourceMode = SourceMode::Trusted;
    if (text.writeBom && text.target != EncodingId::Utf8)
        return refuse("--bom applies to UTF-8 targets only (--to utf8)");
    if (sawBackup && !c.conversion.disk.keepBackup)
        return refuse("--backup and --no-backup exclude each other");
    if (c.force && !c.reportFile)
        return refuse("--force applies to --report only");
    return c;
}

std::string UsageText()
{
    return "Usage: veltran-cli --from gb|big5|utf8|auto --to gb|big5|utf8 [options] PATH...\n"
           "       veltran-cli --undo REPORT.json\n"
           "\n"
           "Converts text files in place between GB (code page 936), BIG5 (code page 950) and UTF-8,\n"
           "mapping Chinese characters only where the target calls for other forms: GB and UTF-8 text to\n"
           "Traditional forms for BIG5, BIG5 text to Simplified forms for GB, Traditional characters in GB\n"
           "or UTF-8 text to Simplified forms; Simplified text stays as it is, BIG5 text keeps its\n"
           "characters in BIG5 and UTF-8, and quoted link targets keep theirs. Files are converted in\n"
           "argument order; a folder is\n"
           "searched at every depth and contributes its matching files in its place (links in it are\n"
           "not followed; a link named on the command line is). A file is converted once per run, and a\n"
           "file that already reads as the target encoding, or as another than the one given, is refused\n"
           "(unless --trust-source). A file another run is converting at the same moment fails as \"being\n"
           "converted by another run\" and is left to that run.\n"
           "\n"
           "Options:\n"
           "  --from ENC          encoding of the files: gb, big5 or utf8 (a UTF-8 byte-order mark wins),\n"
           "                      or auto: each file as whichever of the three it plausibly is\n"
           "  --trust-source      convert every file as --from says, even one that reads as another\n"
           "                      encoding; invalid bytes still fail, and so does a file that its .bak\n"
           "                      converts to, since the .bak holds the original\n"
           "  --to ENC            encoding to write: gb, big5 or utf8\n"
           "  --filter PATTERNS   file-name patterns for folders, separated by | ; or , (default\n"
           "                      \"*.htm|*.html|*.js|*.asp|*.php|*.xml|*.aspx|*.txt\"); * ? # [a-z] [!x],\n"
           "                      letter case ignored\n"
           "  --no-backup         replace the files without keeping PATH.bak\n"
           "  --backup MODE       how the originals are kept, as GNU cp names backups: simple (the default)\n"
           "                      keeps PATH.bak and replaces an older one; numbered keeps every original\n"
           "                      as PATH.bak.~1~, PATH.bak.~2~, ...; existing numbers them where numbered\n"
           "                      backups exist already; the summary counts older .bak files replaced\n"
           "                      that held other bytes than the file converted\n"
           "  --bom               start UTF-8 output with a byte-order mark (off by default: it breaks PHP pages)\n"
           "  --rules FILE        apply up to nine replacement rules read from FILE (format below)\n"
           "  --charset-header    make rule 1 the charset rule: ASP code-page and charset directives and a\n"
           "                      comment naming the tool at the head of every file\n"
           "  --sync              flush each new file and its folder to the disk before it takes its\n"
           "                      place (slow; off by default)\n"
           "  --log FILE          write the run log to FILE (UTF-8, CR LF), replacing it\n"
           "  --declarations      rewrite the charset declarations that name the source's encoding (meta\n"
           "                      charset and Content-Type, the XML declaration, @charset, ASP CODEPAGE and\n"
           "                      Response.Charset, PHP header(), JSP pageEncoding) to name the target\n"
           "  --references        write the characters GB or BIG5 lack as &#x4E2D; in HTML and XML pages\n"
           "                      instead of \"?\" (each file with such characters is listed either way)\n"
           "  --dry-run           convert nothing: say for each file whether it would convert or fail, what\n"
           "                      it would lose and which declarations it would rewrite; no log\n"
           "  --report FILE       write a JSON report of the run: every file's outcome, sizes, SHA-256 of the\n"
           "                      original and the new file, lost characters, rewritten declarations; an\n"
           "                      existing FILE is refused unless --force is given too\n"
           "  --force             let --report replace an existing report\n"
           "  --undo FILE         put back from their .bak the files a --report FILE says were converted;\n"
           "                      only if none of them nor their backups changed since, else none; no run\n"
           "  -j, --jobs N        convert up to N files at once (default: one per processor core); the\n"
           "                      log, the report and the list of failures are the same for any N\n"
           "  -q, --quiet         no progress bar and no summary; failures, and files that\n"
           "                      lose characters, are still listed\n"
           "  -h, --help          show this text\n"
           "  --version           show the version\n"
           "  --                  end of options; the arguments after it are paths\n"
           "\n"
           "Rules file (UTF-8): one rule per line, fields separated by a TAB:\n"
           "  replace<TAB>OLD<TAB>NEW   replace every OLD, ignoring letter case, by NEW\n"
           "  insert<TAB>TEXT           put TEXT at the head of the file\n"
           "  append<TAB>TEXT           put TEXT at the end of the file\n"
           "  \\t \\n \\r \\\\ in the texts stand for TAB, line feed, carriage return and backslash.\n"
           "  Blank lines and lines starting with # are ignored. The rules run in file order, at most\n"
           "  nine, or eight after --charset-header's rule.\n"
           "\n"
           "A run that would change nothing (same encoding, no rules) is refused. Ctrl-C, SIGTERM and\n"
           "SIGHUP stop the run between two files, never inside one: no file starts after them, and\n"
           "the files already converting finish.\n"
           "\n"
           "Examples:\n"
           "  veltran-cli --from gb --to utf8 --declarations site        and <meta charset> says utf-8\n"
           "  veltran-cli --from gb --to big5 --references site          &#x...; for what BIG5 lacks\n"
           "  veltran-cli --from gb --to utf8 --dry-run site             what a run would do\n"
           "  veltran-cli --from gb --to utf8 --report run.json site     then: veltran-cli --undo run.json\n"
           "\n"
           "Exit status: 0 every file converted, 1 some files failed (listed on standard error with their\n"
           "reason) or the log could not be written, 2 usage error, 130 stopped by Ctrl-C, 143 by\n"
           "SIGTERM, 129 by SIGHUP.\n";
}

std::string VersionText()
{
    return "veltran-cli " VELTRAN_VERSION "\n";
}

} // namespace veltran
