#include "OpenccConverter.h"

#include <SimpleConverter.hpp>
#include <unicode/ustring.h>

#include <unicode/utf16.h>

#include <stdexcept>

namespace veltran {
namespace {

// Length of the well-formed, NUL-free run at the start of `text` (0 when the
// first unit is a NUL or an unpaired surrogate).
std::size_t ConvertibleRunLength(std::u16string_view text)
{
    std::size_t i = 0;
    while (i < text.size()) {
        const char16_t unit = text[i];
        if (unit == 0 || U16_IS_TRAIL(unit)) {
            break;
        }
        if (U16_IS_LEAD(unit)) {
            if (i + 1 >= text.size() || !U16_IS_TRAIL(text[i + 1])) {
                break;
            }
            i += 2;
            continue;
        }
        ++i;
    }
    return i;
}

} // namespace

OpenccConverter::OpenccConverter(const std::string& configPath)
{
    try {
        m_converter = std::make_unique<opencc::SimpleConverter>(configPath);
    } catch (const std::exception& e) {
        throw std::runtime_error("cannot load the Chinese mapping dictionaries from " + configPath + ": " + e.what());
    }
}

OpenccConverter::~OpenccConverter() = default;

std::u16string OpenccConverter::Convert(std::u16string_view text) const
{
    std::u16string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t run = ConvertibleRunLength(text.substr(pos));
        if (run == 0) {
            out.push_back(text[pos++]);
            continue;
        }
        ConvertPiece(text.substr(pos, run), out);
        pos += run;
    }
    return out;
}

void OpenccConverter::ConvertPiece(std::u16string_view piece, std::u16string& out) const
{
    // The piece is well-formed UTF-16 without NUL, so neither ICU call can fail
    // on content.
    UErrorCode status = U_ZERO_ERROR;
    std::string utf8(piece.size() * 3, '\0');
    int32_t utf8Length = 0;
    u_strToUTF8(utf8.data(), static_cast<int32_t>(utf8.size()), &utf8Length,
                reinterpret_cast<const UChar*>(piece.data()), static_cast<int32_t>(piece.size()), &status);
    if (U_FAILURE(status)) {
        throw std::runtime_error("cannot pass text to the Chinese mapping");
    }
    utf8.resize(static_cast<std::size_t>(utf8Length));

    const std::string converted = m_converter->Convert(utf8);

    const std::size_t start = out.size();
    out.resize(start + converted.size());
    int32_t unitCount = 0;
    status = U_ZERO_ERROR;
    u_strFromUTF8(reinterpret_cast<UChar*>(out.data() + start), static_cast<int32_t>(converted.size()), &unitCount,
                  converted.data(), static_cast<int32_t>(converted.size()), &status);
    if (U_FAILURE(status)) {
        throw std::runtime_error("the Chinese mapping returned malformed text");
    }
    out.resize(start + static_cast<std::size_t>(unitCount));
}

} // namespace veltran
