#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace veltran {

/// How backups are named, as GNU cp and mv name theirs.
enum class BackupMode
{
    Simple,   // "<file>.bak", replacing an older one
    Numbered, // "<file>.bak.~1~", "<file>.bak.~2~", ...: every original is kept
    Existing, // numbered where the file has numbered backups already, simple otherwise
};

/// "simple", "numbered" or "existing", or GNU's other names for them ("never", "t", "nil"); nothing
/// for any other text.
std::optional<BackupMode> ParseBackupMode(std::string_view text);

/// "<base>.~N~", the N-th numbered backup beside the simple backup name `base`.
std::filesystem::path NumberedBackup(const std::filesystem::path& base, unsigned number);

/// The highest N of the names "<base>.~N~" in base's folder; 0 when there is none or the folder cannot
/// be read.
unsigned HighestNumberedBackup(const std::filesystem::path& base);

/// The name of the file that the backup name `name` (a bare file name) belongs to: "page.htm" for
/// "page.htm.bak" and "page.htm.bak.~3~"; nothing for any other name.
std::optional<std::string> PageOfBackupName(std::string_view name);

/// Whether a new backup under `mode` is numbered: always for Numbered, for Existing when a numbered
/// backup is there already.
bool MakesNumberedBackup(const std::filesystem::path& base, BackupMode mode);

/// Where the latest backup of the file is: the highest numbered one for a numbered mode that has one,
/// `base` otherwise (which may not exist).
std::filesystem::path LatestBackup(const std::filesystem::path& base, BackupMode mode);

} // namespace veltran
