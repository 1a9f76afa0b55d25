#pragma once

#include "BatchRun.h"
#include "DateTimeText.h"
#include "EncodingId.h"
#include "RuleTable.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace veltran {

/// The refusal of a run that would change nothing.
inline constexpr std::string_view kNothingToChange = "编码格式和文件内容均不做改变，不需要处理。";

/// The run settings from the two option groups; a group with no option chosen gives GB with an
/// empty name, as the log then shows.
RunSettings MakeRunSettings(std::optional<EncodingId> source, std::optional<EncodingId> target, bool keepBackup);

/// True when a run would change nothing: the same encoding on both sides and no rules. A run that
/// reads each file as what it plausibly is decides that per file.
bool ChangesNothing(const RunSettings& settings, bool rulesOn);

/// One run as the window or the command line asks for it.
struct RunRequest
{
    RunSettings settings;
    PathList entries;                         // converted in this order, each path as given
    std::vector<std::filesystem::path> roots; // the folders and files the entries came from, for a report
    bool makeCharsetRule = false; // rule 1 becomes the built-in charset rule for the target, unless made already
    std::optional<std::filesystem::path> logPath; // where the log goes; none writes no log
};

/// The whole run, the same for the window and the command line: makes the charset rule when asked,
/// converts the entries with RunBatch (a folder among them, left there by a scan that could not read
/// it, fails with FolderUnreadable), tells the progress display that the loop has ended, and writes
/// the log, except after an abandoned run. Each file (device and inode) is converted at its first
/// occurrence only; later ones, by the same path, another path or a link, fail with AlreadyConverted
/// ("already converted in this run"). Running out of memory fails only the file at hand. The outcome says how
/// it ended, which files failed and why, what the converted files were read as, and whether the log
/// could be written. A dry run writes nothing, no log either. `calls` reach the file system (a seam
/// for tests).
RunOutcome RunJob(const RunRequest& request, RuleTable& rules, const RunRoles& roles,
                  const std::function<std::string()>& now = NowText, const FileSystemCalls& calls = SystemFileCalls());

} // namespace veltran
