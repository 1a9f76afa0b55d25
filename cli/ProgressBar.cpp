#include "ProgressBar.h"

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

// Length of the UTF-8 sequence starting at `i`, 0 when the bytes there are not one.
std::size_t SequenceLength(std::string_view text, std::size_t i, char32_t& codePoint)
{
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t length = 0;
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF)
        length = 3;
    else if (lead >= 0xF0 && lead <= 0xF4)
        length = 4;
    if (length == 0 || i + length > text.size())
        return 0;
    codePoint = lead & (0xFF >> (length + 1));
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[i + k]);
        if ((next & 0xC0) != 0x80)
            return 0;
        codePoint = (codePoint << 6) | (next & 0x3F);
    }
    const char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (codePoint < smallest[length] || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
        return 0;
    return length;
}

// Splits the path into what the terminal shows, so that cutting never splits a character.
std::vector<DisplayChar> DisplayChars(std::string_view text)
{
    std::vector<DisplayChar> chars;
    std::size_t i = 0;
    while (i < text.size()) {
        char32_t codePoint = 0;
        const std::size_t length = SequenceLength(text, i, codePoint);
        if (length == 0 || codePoint < 0x20 || codePoint == 0x7F) {
            chars.push_back({"?", 1});
            i += length == 0 ? 1 : length;
            continue;
        }
        // Wide from Hangul Jamo on: an approximation that is right for Chinese text.
        chars.push_back({std::string(text.substr(i, length)), codePoint >= 0x1100 ? 2 : 1});
        i += length;
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
