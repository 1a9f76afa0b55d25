#pragma once

#include <string_view>
#include <vector>

namespace veltran {

/// The pieces of `text` between every `separator`, in order: n separators give n + 1 pieces,
/// empty ones kept, nothing trimmed. An empty text gives one empty piece.
inline std::vector<std::string_view> SplitAt(std::string_view text, char separator)
{
    std::vector<std::string_view> pieces;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find(separator, start);
        pieces.push_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos)
            return pieces;
        start = end + 1;
    }
}

} // namespace veltran
