#include "OtherNames.h"

#include "BackupNames.h"
#include "StagedFile.h"

#include <vector>

namespace veltran {

// A file with other names cannot be replaced under one of them without parting it from the others,
// which would go on holding the old bytes while the run says the file was converted; which names a
// file has elsewhere cannot be known, so such a file is refused. A run killed between making the
// backup and renaming the new file in leaves the backup as a second name, and one killed while
// linking over an older backup leaves a staged name: the backup is made anew from the file anyway,
// and the staged name is a stray the scan reports.
Status CheckNoOtherNames(const std::filesystem::path& path, const struct stat& info, const FileSystemCalls& calls)
{
    if (info.st_nlink <= 1)
        return Status::Success();
    const auto isThisFile = [&](const std::filesystem::path& name) {
        struct stat at = {};
        return calls.LinkStat(name, at) == 0 && at.st_dev == info.st_dev && at.st_ino == info.st_ino;
    };
    std::filesystem::path backup = path;
    backup += ".bak";
    nlink_t names = info.st_nlink;
    if (isThisFile(backup))
        --names;
    if (const unsigned highest = HighestNumberedBackup(backup);
        highest > 0 && isThisFile(NumberedBackup(backup, highest)))
        --names;
    std::vector<FolderEntry> entries;
    if (names > 1)
        (void)calls.ListFolder(path.has_parent_path() ? path.parent_path() : ".", entries);
    for (const FolderEntry& entry : entries) {
        if (names > 1 && IsStagedName(entry.name) && isThisFile(path.parent_path() / entry.name))
            --names;
    }
    if (names <= 1)
        return Status::Success();
    return Status::Failure(StatusCode::HardLinked, {.number = names});
}

} // namespace veltran
