#pragma once

#include "EncodingId.h"

#include <cstddef>
#include <string>
#include <vector>

namespace veltran {

/// The characters of a text that its target encoding lacks, which the encoder writes as "?".
struct UnmappableCharacters
{
    static constexpr std::size_t kExamples = 5;

    std::size_t count = 0;
    std::vector<char32_t> examples; // the first kExamples distinct ones, in order of appearance

    void Note(char32_t character);
};

/// Counts the characters of the text that `target` lacks (none for UTF-8, which holds them all);
/// with `asReferences` each is replaced by its numeric character reference ("&#x4E2D;"), which a
/// browser shows as the character, so the encoder meets none of them.
void MarkUnmappable(std::u16string& text, EncodingId target, bool asReferences, UnmappableCharacters& found);

/// "U+4E2D 中" for a character: its code and the character itself (UTF-8).
std::string DescribeCharacter(char32_t character);

} // namespace veltran
