#pragma once

#include <optional>
#include <string_view>

namespace veltran {

/// The three encodings a file can be converted between. The values are the ones the
/// window's option groups and the log use, so they must not change.
enum class EncodingId : int
{
    Gb = 0,   // code page 936
    Big5 = 1, // code page 950
    Utf8 = 2, // code page 65001
};

/// "GB", "BIG5" or "UTF-8": the names shown in the window and written to the run log.
std::string_view EncodingName(EncodingId id);

/// Parses the command-line spellings gb, big5, utf8 and utf-8 (any letter case).
std::optional<EncodingId> ParseEncoding(std::string_view text);

} // namespace veltran
