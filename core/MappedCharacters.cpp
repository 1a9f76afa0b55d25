#include "MappedCharacters.h"

#include <unicode/utf16.h>
#include <unicode/utf8.h>

#include <algorithm>

namespace veltran {

void MappedCharacters::Compare(std::u16string_view before, std::u16string_view after)
{
    if (before == after)
        return;
    for (std::size_t i = 0, j = 0; i < before.size() && j < after.size();) {
        UChar32 from = 0;
        UChar32 to = 0;
        U16_NEXT(before.data(), i, before.size(), from);
        U16_NEXT(after.data(), j, after.size(), to);
        if (from == to)
            continue;
        ++count;
        const std::pair<char32_t, char32_t> change{static_cast<char32_t>(from), static_cast<char32_t>(to)};
        if (examples.size() < kExamples && std::find(examples.begin(), examples.end(), change) == examples.end())
            examples.push_back(change);
    }
}

std::string MappedCharacters::ExamplesText() const
{
    std::string text;
    auto append = [&text](char32_t character) {
        char utf8[4];
        std::size_t length = 0;
        bool failed = false;
        U8_APPEND(utf8, length, 4, static_cast<UChar32>(character), failed);
        text.append(failed || U_IS_SURROGATE(character) ? "\xEF\xBF\xBD" : std::string(utf8, length));
    };
    for (const auto& [from, to] : examples) {
        if (!text.empty())
            text += ' ';
        append(from);
        text += "\xE2\x86\x92"; // →
        append(to);
    }
    return text;
}

} // namespace veltran
