#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string_view>

namespace veltran {

/// The encodings a file can be converted between. The values are the ones the window's option groups
/// and the log use, so they must not change. The window offers the first three; GB 18030 is offered
/// by the command line only.
enum class EncodingId : int
{
    Gb = 0,      // code page 936
    Big5 = 1,    // code page 950
    Utf8 = 2,    // code page 65001
    Gb18030 = 3, // the national standard, a superset of code page 936 that holds all of Unicode
};

/// How many encodings there are, for arrays indexed by EncodingId.
inline constexpr std::size_t kEncodingCount = 4;

/// "GB", "BIG5", "UTF-8" or "GB18030": the names shown in the window and written to the run log.
std::string_view EncodingName(EncodingId id);

/// The encoding whose readings, charset labels and Chinese forms stand for this one's: GB for
/// GB 18030, each other encoding itself. The encoding check reads files as GB, BIG5 and UTF-8 only.
EncodingId EncodingFamily(EncodingId id);

/// True for the encodings that hold every Unicode character (UTF-8, GB 18030): nothing is lost.
bool HoldsAllUnicode(EncodingId id);

/// One encoding and the names the command line takes for it, as `--list` shows them.
struct EncodingSpelling
{
    EncodingId id;
    std::string_view name;                     // the usual spelling: "gb", "big5", "utf8", "gb18030"
    std::span<const std::string_view> aliases; // other accepted spellings
};

/// Every encoding with its spellings, in the order `--list` shows them.
std::span<const EncodingSpelling> EncodingSpellings();

/// Parses a spelling of EncodingSpellings, in any letter case: gb, gbk, gb2312, cp936, euc-cn,
/// windows-936; big5, cp950, windows-950; utf8, utf-8; gb18030. Anything else (big5-hkscs among them,
/// which code page 950 does not cover) gives nothing.
std::optional<EncodingId> ParseEncoding(std::string_view text);

} // namespace veltran
