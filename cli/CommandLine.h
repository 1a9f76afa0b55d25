#pragma once

#include "BatchRun.h"
#include "ConversionOptions.h"
#include "EncodingId.h"
#include "Status.h"

#include <algorithm>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace veltran {

/// The most jobs -j accepts: more threads than this only cost memory.
inline constexpr std::size_t kMaxJobs = 256;

/// What veltran-cli is asked to do.
enum class CliCommand
{
    Convert,     // files and folders in place
    Stream,      // one file or standard input to -o OUT or standard output; the source stays as it is
    Detect,      // say which encoding each file is in
    Undo,        // put back the files of a report
    CleanStaged, // remove the files killed runs left in the folders given
    List,        // list the encodings and their names
    Help,
    Version,
};

/// What veltran-cli was asked to do, as given on its command line.
struct CommandLine
{
    CliCommand command = CliCommand::Convert;
    ConvertOptions conversion;                   // what each file's conversion does, as the options set it
    std::vector<std::filesystem::path> paths;    // files and folders in argument order, bytes as given
    std::string filter;                          // "|"-separated; the default filter when not given
    std::optional<std::filesystem::path> output; // -o: Stream's output, "-" for standard output
    std::optional<std::filesystem::path> rulesFile;
    std::optional<std::filesystem::path> logFile;
    bool charsetHeader = false;
    std::optional<std::filesystem::path> reportFile; // the run's report, JSON
    bool force = false;                              // an existing report may be replaced
    std::optional<std::filesystem::path> undoFile;   // put back the files of this report; no run
    bool quiet = false;
    std::size_t jobs = std::min(DefaultJobs(), kMaxJobs); // files converted at once
    bool verbose = false;
};

/// Parses the arguments after the program name with getopt_long: long options may be shortened to
/// any unambiguous beginning and take their value after "=" or as the next argument; short ones may
/// be grouped (-qc) and take theirs joined or next; "--" ends the options, and options may follow
/// paths. Later copies of an option override earlier ones.
/// - --help, --version and --list need nothing else; --undo REPORT, --detect PATH... and
///   --clean-staged FOLDER... take no conversion option;
/// - a conversion needs --from (an encoding or auto) and --to; with no path, with the one path "-"
///   or with -o it is a Stream (one input at most), else Convert;
/// - --bom needs a UTF-8 target, --trust-source a --from other than auto, --force a --report;
///   --references and -c exclude each other, and so do --backup (simple, numbered or existing, or
///   GNU's never, t and nil) and --no-backup; an empty --filter is refused; a Stream takes no
///   --report, --log, --dry-run, --filter or --backup; -j/--jobs takes a whole number from 1 to kMaxJobs.
/// Invalid arguments fail with BadInput and an English message naming the problem; an unknown
/// encoding's message lists the known ones.
Result<CommandLine> ParseCommandLine(const std::vector<std::string>& arguments);

/// The --help text, UTF-8, ending with a line break.
std::string UsageText();

/// The --version text in the GNU form: "veltran-cli (Veltran) " and the version, the copyright and
/// the licence, ending with a line break.
std::string VersionText();

/// The --list text: one encoding a line, its usual name first, then the other names it takes.
std::string EncodingListText();

} // namespace veltran
