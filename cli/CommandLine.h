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

/// What veltran-cli was asked to do, as given on its command line.
struct CommandLine
{
    ConvertOptions conversion;                // what each file's conversion does, as the options set it
    std::vector<std::filesystem::path> paths; // files and folders in argument order, bytes as given
    std::string filter;                       // "|"-separated; the default filter when not given
    std::optional<std::filesystem::path> rulesFile;
    std::optional<std::filesystem::path> logFile;
    bool charsetHeader = false;
    std::optional<std::filesystem::path> reportFile; // the run's report, JSON
    bool force = false;                              // an existing report may be replaced
    std::optional<std::filesystem::path> undoFile;   // put back the files of this report; no run
    bool quiet = false;
    std::size_t jobs = std::min(DefaultJobs(), kMaxJobs); // files converted at once
    bool help = false;                                    // --help was given; nothing else is checked then
    bool version = false;                                 // --version was given; nothing else is checked then
};

/// Parses the arguments after the program name. Options take their value as the next argument
/// or after "="; "--" ends the options. --from (gb, big5, utf8 or auto), --to and at least one path are required; --bom
/// needs a UTF-8 target; --backup (simple, numbered or existing, or GNU's never, t and nil) and --no-backup exclude
/// each other; --trust-source needs --from other than auto; an empty --filter is refused. --undo takes no
/// other option and no path. -j/--jobs takes a whole number from 1 to kMaxJobs. Later copies of an option override
/// earlier ones. Invalid arguments fail with BadInput and a message naming the problem.
Result<CommandLine> ParseCommandLine(const std::vector<std::string>& arguments);

/// The --help text, UTF-8, ending with a line break.
std::string UsageText();

/// The --version text: "veltran-cli " and the version, ending with a line break.
std::string VersionText();

} // namespace veltran
