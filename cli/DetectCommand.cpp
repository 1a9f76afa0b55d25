#include "DetectCommand.h"

#include "ExpandPaths.h"
#include "FileReader.h"
#include "ShownName.h"
#include "SourceEncodingCheck.h"

namespace veltran {

int RunDetectCommand(const std::vector<std::filesystem::path>& paths, const std::string& filter,
                     const CliEnvironment& environment)
{
    bool allDecided = true;
    for (const std::filesystem::path& path : ExpandPaths(paths, filter)) {
        const std::string name = ShownName(path.native());
        const Result<FileContent> file = ReadRegularFile(path);
        if (!file) {
            environment.err << "veltran-cli: " << name << ": " << ShownName(file.status().message) << '\n';
            allDecided = false;
            continue;
        }
        const SourceGuess guess = GuessSourceEncoding(file->bytes);
        const std::string encoding = !guess.encoding   ? "undecided"
                                     : guess.asciiOnly ? "ASCII"
                                                       : std::string(EncodingName(*guess.encoding));
        environment.out << name << ": " << encoding << " (" << ShownName(guess.reason) << ")\n";
        allDecided = allDecided && guess.encoding.has_value();
    }
    environment.out.flush();
    return allDecided ? kExitSuccess : kExitSomeFailed;
}

} // namespace veltran
