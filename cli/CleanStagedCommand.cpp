#include "CleanStagedCommand.h"

#include "FindFiles.h"
#include "ShownName.h"
#include "StrayFiles.h"

#include <system_error>

namespace veltran {

int RunCleanStagedCommand(const std::vector<std::filesystem::path>& folders, bool quiet,
                          const CliEnvironment& environment)
{
    std::size_t found = 0;
    std::size_t removed = 0;
    for (const std::filesystem::path& folder : folders) {
        std::error_code ec;
        if (!std::filesystem::is_directory(folder, ec)) {
            environment.err << "veltran-cli: " << ShownName(folder.native()) << ": not a folder, skipped\n";
            continue;
        }
        // The filter matters not: strays are told apart by their names, whatever file they were for.
        for (const std::filesystem::path& stray : FindFiles(folder, "").strays) {
            ++found;
            if (const Status gone = RemoveStray(stray); gone) {
                ++removed;
                if (!quiet)
                    environment.out << "removed " << ShownName(stray.native()) << '\n';
            } else {
                environment.err << "veltran-cli: " << ShownName(stray.native())
                                << ": not removed: " << ShownName(gone.message) << '\n';
            }
        }
    }
    if (!quiet)
        environment.out << "Removed " << removed << " of " << found << " files left by interrupted runs.\n";
    return removed == found ? kExitSuccess : kExitSomeFailed;
}

void ReportStrays(const std::vector<std::filesystem::path>& strays, std::ostream& err)
{
    for (const std::filesystem::path& stray : strays)
        err << "veltran-cli: " << ShownName(stray.native()) << ": left by an interrupted run\n";
    if (!strays.empty())
        err << "veltran-cli: " << strays.size() << (strays.size() == 1 ? " file" : " files")
            << " left by interrupted runs; veltran-cli --clean-staged FOLDER removes them\n";
}

} // namespace veltran
