#include "UndoCommand.h"

#include "RunUndo.h"
#include "ShownName.h"

namespace veltran {

int RunUndoCommand(const std::filesystem::path& report, const CliEnvironment& environment)
{
    const UndoOutcome undone = UndoRun(report);
    if (!undone.report) {
        environment.err << "veltran-cli: " << ShownName(undone.report.message) << '\n';
        return kExitUsage;
    }
    for (const UndoRefusal& refusal : undone.refused)
        environment.err << "veltran-cli: " << ShownName(refusal.path.native())
                        << ": not put back: " << ShownName(refusal.reason) << '\n';
    const std::size_t files = undone.restored.size() + undone.alreadyUndone.size() + undone.refused.size();
    if (undone.touchedNothing && !undone.refused.empty()) {
        environment.out << "Put back none of " << files << " files: " << undone.refused.size()
                        << " cannot be put back (listed above), and a run is put back whole or not at all.\n";
        return kExitSomeFailed;
    }
    if (undone.restored.empty() && undone.refused.empty() && !undone.alreadyUndone.empty()) {
        environment.out << "Already undone: the " << files << " files hold their originals.\n";
        return kExitSuccess;
    }
    environment.out << "Put back " << undone.restored.size() << " of " << files << " files";
    if (!undone.alreadyUndone.empty())
        environment.out << ", " << undone.alreadyUndone.size() << " already undone";
    if (!undone.refused.empty())
        environment.out << ", " << undone.refused.size() << " failed";
    environment.out << ".\n";
    return undone.refused.empty() ? kExitSuccess : kExitSomeFailed;
}

} // namespace veltran
