#pragma once

#include <cstddef>
#include <ostream>
#include <string>
#include <string_view>

namespace veltran {

/// A one-line progress display for a terminal: a bar, files done of the total, the percentage and
/// the file being converted, redrawn in place with a carriage return.
class ProgressBar
{
public:
    /// `columns` is the terminal's width; the line is kept one column shorter so it never wraps.
    ProgressBar(std::ostream& out, int columns);

    /// Redraws the line: `done` files of `total` are finished and `path` is being converted.
    void Show(std::size_t done, std::size_t total, std::string_view path);
    /// Erases the line, so that other output can take its place; nothing happens when it is not shown.
    void Clear();

    /// The line's text without control sequences. Paths that do not fit lose their beginning to
    /// "..."; bytes that are not UTF-8 and control characters show as "?"; characters take the columns
    /// their East Asian Width gives (wide and full-width two, combining marks none). Total 0 shows 100 %.
    static std::string Line(std::size_t done, std::size_t total, std::string_view path, int columns);

private:
    std::ostream& m_out;
    int m_columns;
    bool m_shown = false;
};

} // namespace veltran
