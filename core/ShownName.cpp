#include "ShownName.h"

#include <unicode/utf8.h>

#include <cstdint>
#include <cstdio>

namespace veltran {

namespace {

void AppendHex(std::string& out, const char* prefix, unsigned value, int digits)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%s%0*X", prefix, digits, value);
    out += buffer;
}

// The escape of a code point that would break or hide a line, or none.
bool AppendEscaped(std::string& out, UChar32 c)
{
    switch (c) {
    case '\n':
        out += "\\n";
        return true;
    case '\r':
        out += "\\r";
        return true;
    case '\t':
        out += "\\t";
        return true;
    default:
        break;
    }
    if (c < 0x20 || c == 0x7F) {
        AppendHex(out, "\\x", static_cast<unsigned>(c), 2);
        return true;
    }
    if ((c >= 0x80 && c < 0xA0) || c == 0x2028 || c == 0x2029) {
        AppendHex(out, "\\u", static_cast<unsigned>(c), 4);
        return true;
    }
    return false;
}

} // namespace

std::string ShownName(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    const auto size = static_cast<std::int32_t>(bytes.size());
    std::int32_t i = 0;
    while (i < size) {
        const std::int32_t start = i;
        UChar32 c = 0;
        U8_NEXT(data, i, size, c);
        if (c < 0) {
            for (std::int32_t k = start; k < i; ++k)
                AppendHex(out, "\\x", data[k], 2);
        } else if (!AppendEscaped(out, c)) {
            out.append(bytes.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(i - start)));
        }
    }
    return out;
}

} // namespace veltran
