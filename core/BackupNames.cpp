#include "BackupNames.h"

#include <algorithm>
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

namespace {

constexpr std::string_view kBackupExtension = ".bak";

// The number of a numbered backup's "~N~" ending: digits only, and no leading zero ("~01~" and "~+1~"
// are someone else's names); 0 when it is none.
unsigned BackupNumber(std::string_view ending)
{
    if (ending.size() < 3 || ending.front() != '~' || ending.back() != '~' || ending[1] == '0')
        return 0;
    unsigned number = 0;
    const char* first = ending.data() + 1;
    const char* last = ending.data() + ending.size() - 1;
    const auto [stop, error] = std::from_chars(first, last, number);
    return error == std::errc() && stop == last ? number : 0;
}

} // namespace

std::optional<std::string> PageOfBackupName(std::string_view name)
{
    std::size_t end = name.size();
    if (name.size() > 2 && name.back() == '~') {
        const std::size_t dot = name.rfind(".~");
        if (dot == std::string_view::npos || BackupNumber(name.substr(dot + 1)) == 0)
            return std::nullopt;
        end = dot;
    }
    const std::string_view stem = name.substr(0, end);
    if (stem.size() <= kBackupExtension.size() ||
        stem.substr(stem.size() - kBackupExtension.size()) != kBackupExtension)
        return std::nullopt;
    return std::string(stem.substr(0, stem.size() - kBackupExtension.size()));
}

unsigned HighestNumberedBackup(const std::filesystem::path& base)
{
    const std::string prefix = base.filename().string() + ".~";
    const std::filesystem::path folder = base.has_parent_path() ? base.parent_path() : ".";
    unsigned highest = 0;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), done; !ec && it != done; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() < prefix.size() + 2 || name.compare(0, prefix.size(), prefix) != 0)
            continue;
        highest = std::max(highest, BackupNumber(std::string_view(name).substr(prefix.size() - 1)));
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
