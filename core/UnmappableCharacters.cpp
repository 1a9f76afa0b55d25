#include "UnmappableCharacters.h"

#include "CodePage.h"

#include <unicode/utf16.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <cstdio>

namespace veltran {

void UnmappableCharacters::Note(char32_t character)
{
    ++count;
    if (examples.size() < kExamples && std::find(examples.begin(), examples.end(), character) == examples.end())
        examples.push_back(character);
}

void MarkUnmappable(std::u16string& text, EncodingId target, UnmappableAs as, UnmappableCharacters& found)
{
    const bool rewrites = as != UnmappableAs::Question;
    if (HoldsAllUnicode(target))
        return;
    const CodePage& codePage = CodePage::Of(target);
    std::u16string marked; // made only when the first character is rewritten
    std::size_t copied = 0;
    for (std::size_t i = 0; i < text.size();) {
        i += codePage.HeldRunLength(text.data() + i, text.data() + text.size());
        if (i == text.size())
            break;
        const std::size_t start = i;
        UChar32 character = 0;
        U16_NEXT(text.data(), i, text.size(), character);
        found.Note(static_cast<char32_t>(character));
        if (!rewrites)
            continue;
        marked.append(text, copied, start - copied);
        if (as == UnmappableAs::Reference) {
            char reference[16];
            const int length = std::snprintf(reference, sizeof reference, "&#x%X;", static_cast<unsigned>(character));
            marked.append(reference, reference + length);
        }
        copied = i;
    }
    if (rewrites && copied > 0) {
        marked.append(text, copied);
        text = std::move(marked);
    }
}

std::string DescribeCharacter(char32_t character)
{
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X ", static_cast<unsigned>(character));
    std::string text = code;
    char utf8[4];
    std::size_t length = 0;
    bool failed = false;
    U8_APPEND(utf8, length, 4, static_cast<UChar32>(character), failed);
    if (!failed && !U_IS_SURROGATE(character))
        text.append(utf8, length);
    return text;
}

} // namespace veltran
