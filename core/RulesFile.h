#pragma once

#include "RuleTable.h"
#include "Status.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace veltran {

/// Reads rules written one per line as `replace<TAB>old<TAB>new`, `insert<TAB>text` or
/// `append<TAB>text` (escapes \t \n \r \\), skipping lines of only spaces and tabs and lines starting with "#".
/// UTF-8, LF or CR LF, an optional byte-order mark. Stores them into `rules` from rule number
/// `firstRule` on; a rule beyond rule 9, invalid UTF-8, an unknown kind, a wrong field count, an
/// unknown escape or an empty old text (replace) or new text (insert, append) is an error and
/// leaves the table partly filled. Gives the number of rules stored, or the Rules... code of the first
/// bad line, whose number is the context's.
Result<int> ParseRules(std::string_view text, int firstRule, RuleTable& rules);

/// The largest rules file read: nine rules never need more.
inline constexpr std::size_t kMaxRulesFileBytes = 1024 * 1024;

/// ParseRules on the content of a file. A file that cannot be read, is larger than kMaxRulesFileBytes
/// or is not a regular file (a FIFO, a device, a folder) fails as ReadRegularFile says, before anything
/// is read from it.
Result<int> LoadRulesFile(const std::filesystem::path& path, int firstRule, RuleTable& rules);

/// The rules that do something, in table order, as ParseRules reads them back: a replace rule with an
/// old text, an insert or append rule with a new text. The others (rule 1 before the charset rule is
/// made, empty rules, unknown kinds) are left out, so the rules that act keep their order but may
/// take lower numbers when read back. TAB, CR, LF and backslash in the texts are escaped.
std::string FormatRules(const RuleTable& rules);

/// Writes FormatRules to the file through ReplaceFile.
Status SaveRulesFile(const std::filesystem::path& path, const RuleTable& rules);

} // namespace veltran
