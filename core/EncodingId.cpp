#include "EncodingId.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace veltran {

std::string_view EncodingName(EncodingId id)
{
    switch (id) {
    case EncodingId::Gb:
        return "GB";
    case EncodingId::Big5:
        return "BIG5";
    case EncodingId::Utf8:
        return "UTF-8";
    }
    return "";
}

std::optional<EncodingId> ParseEncoding(std::string_view text)
{
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (lower == "gb")
        return EncodingId::Gb;
    if (lower == "big5")
        return EncodingId::Big5;
    if (lower == "utf8" || lower == "utf-8")
        return EncodingId::Utf8;
    return std::nullopt;
}

} // namespace veltran
