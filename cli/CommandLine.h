#pragma once

#include "EncodingId.h"
#include "Status.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace veltran {

/// What veltran-cli was asked to do, as given on its command line.
struct CommandLine
{
    EncodingId source = EncodingId::Gb;
    EncodingId target = EncodingId::Utf8;
    std::vector<std::filesystem::path> paths; // files and folders in argument order, bytes as given
    std::string filter;                       // "|"-separated; the default filter when not given
    std::optional<std::filesystem::path> rulesFile;
    std::optional<std::filesystem::path> logFile;
    bool keepBackup = true;
    bool writeBom = false;
    bool charsetHeader = false;
    bool quiet = false;
    bool help = false;    // --help was given; nothing else is checked then
    bool version = false; // --version was given; nothing else is checked then
};

/// Parses the arguments after the program name. Options take their value as the next argument
/// or after "="; "--" ends the options. --from, --to and at least one path are required; --bom
/// needs a UTF-8 target; an empty --filter is refused. Later copies of an option override earlier ones.
/// Invalid arguments fail with BadInput and a message naming the problem.
Result<CommandLine> ParseCommandLine(const std::vector<std::string>& arguments);

/// The --help text, UTF-8, ending with a line break.
std::string UsageText();

/// The --version text: "veltran-cli " and the version, ending with a line break.
std::string VersionText();

} // namespace veltran
