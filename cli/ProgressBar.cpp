#include "ProgressBar.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <vector>

namespace veltran {

namespace {

constexpr int kBarWidth = 20;
constexpr std::string_view kEllipsis = "...";

struct DisplayChar
{
    std::string bytes;
    int width;
};

// How many columns a terminal gives the character: two for East Asian wide and full-width ones,
// none for marks that join the character before and for format characters, else one.
int ColumnsOf(UChar32 character)
{
    const auto width = static_cast<UEastAsianWidth>(u_getIntPropertyValue(character, UCHAR_EAST_ASIAN_WIDTH));
    if (width == U_EA_WIDE || width == U_EA_FULLWIDTH)
        return 2;
    const std::int8_t category = u_charType(character);
    if (category == U_NON_SPACING_MARK || category == U_ENCLOSING_MARK || category == U_FORMAT_CHAR)
        return 0;
    return 1;
}

// Splits the path into what the terminal shows, so that cutting never splits a character.
std::vector<DisplayChar> DisplayChars(std::string_view text)
{
    std::vector<DisplayChar> chars;
    const auto length = static_cast<std::int32_t>(text.size());
    std::int32_t i = 0;
    while (i < length) {
        const std::int32_t start = i;
        UChar32 character = 0;
        U8_NEXT(text.data(), i, length, character);
        if (character < 0x20 || character == 0x7F) {
            chars.push_back({"?", 1}); // ill-formed bytes (negative) and control characters
            continue;
        }
        chars.push_back({std::string(text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(i - start))),
                         ColumnsOf(character)});
    }
    return chars;
}

std::string FitFromTheLeft(std::string_view path, int columns)
{
    const std::vector<DisplayChar> chars = DisplayChars(path);
    int width = 0;
    for (const DisplayChar& c : chars)
        width += c.width;
    std::string fitted;
    std::size_t first = 0;
    if (width > columns) {
        const int room = std::max(0, columns - static_cast<int>(kEllipsis.size()));
        while (first < chars.size() && width > room)
            width -= chars[first++].width;
        fitted = room > 0 ? std::string(kEllipsis) : std::string();
    }
    for (std::size_t k = first; k < chars.size(); ++k)
        fitted += chars[k].bytes;
    return fitted;
}

} // namespace

ProgressBar::ProgressBar(std::ostream& out, int columns) : m_out(out), m_columns(columns)
{
}

std::string ProgressBar::Line(std::size_t done, std::size_t total, std::string_view path, int columns)
{
    const std::size_t percent = total == 0 ? 100 : std::min<std::size_t>(done, total) * 100 / total;
    const int filled = static_cast<int>(percent * kBarWidth / 100);
    std::string line = "[" + std::string(static_cast<std::size_t>(filled), '#') +
                       std::string(static_cast<std::size_t>(kBarWidth - filled), '.') + "] ";
    line += std::to_string(done) + "/" + std::to_string(total) + " ";
    const std::string percentText = std::to_string(percent);
    line += std::string(3 - std::min<std::size_t>(3, percentText.size()), ' ') + percentText + "% ";
    const int room = columns - 1 - static_cast<int>(line.size());
    if (room > 0)
        line += FitFromTheLeft(path, room);
    return line;
}

void ProgressBar::Show(std::size_t done, std::size_t total, std::string_view path)
{
    m_out << '\r' << Line(done, total, path, m_columns) << "\x1b[K" << std::flush;
    m_shown = true;
}

void ProgressBar::Clear()
{
    if (!m_shown)
        return;
    m_out << "\r\x1b[K" << std::flush;
    m_shown = false;
}

} // namespace veltran
