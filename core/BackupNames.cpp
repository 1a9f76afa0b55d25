#include "BackupNames.h"

#include <charconv>
#include <string>
#include <system_error>

namespace veltran {

std::optional<BackupMode> ParseBackupMode(std::string_view text)
{
    if (text == "simple" || text == "never")
        return BackupMode::Simple;
    if (text == "numbered" || text == "t")
        return BackupMode::Numbered;
    if (text == "existing" || text == "nil")
        return BackupMode::Existing;
    return std::nullopt;
}

std::filesystem::path NumberedBackup(const std::filesystem::path& base, unsigned number)
{
    std::filesystem::path numbered = base;
    numbered += ".~" + std::to_string(number) + "~";
    return numbered;
}

unsigned HighestNumberedBackup(const std::filesystem::path& base)
{
    const std::string prefix = base.filename().string() + ".~";
    const std::filesystem::path folder = base.has_parent_path() ? base.parent_path() : ".";
    unsigned highest = 0;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), done; !ec && it != done; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() < prefix.size() + 2 || name.compare(0, prefix.size(), prefix) != 0 || name.back() != '~')
            continue;
        const char* first = name.data() + prefix.size();
        const char* last = name.data() + name.size() - 1;
        unsigned number = 0;
        // Digits only: "~01~" and "~+1~" are someone else's names.
        const auto [stop, error] = std::from_chars(first, last, number);
        if (error == std::errc() && stop == last && *first != '0' && number > highest)
            highest = number;
    }
    return highest;
}

bool MakesNumberedBackup(const std::filesystem::path& base, BackupMode mode)
{
    return mode == BackupMode::Numbered || (mode == BackupMode::Existing && HighestNumberedBackup(base) > 0);
}

std::filesystem::path LatestBackup(const std::filesystem::path& base, BackupMode mode)
{
    if (mode == BackupMode::Simple)
        return base;
    const unsigned highest = HighestNumberedBackup(base);
    return highest > 0 ? NumberedBackup(base, highest) : base;
}

} // namespace veltran
