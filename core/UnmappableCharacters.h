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

/// What becomes of a character the target lacks.
enum class UnmappableAs
{
    Question,  // left for the encoder, which writes '?'
    Reference, // its numeric character reference ("&#x4E2D;"), which a browser shows as the character
    Dropped,   // left out, as iconv -c does
};

/// What the options ask for: references win over leaving out, and '?' is the default.
inline UnmappableAs ChosenUnmappableAs(bool asReferences, bool dropped)
{
    return asReferences ? UnmappableAs::Reference : dropped ? UnmappableAs::Dropped : UnmappableAs::Question;
}

/// Counts the characters of the text that `target` lacks (none for UTF-8 and GB 18030, which hold
/// them all) and rewrites each as `as` says, so that with Reference or Dropped the encoder meets none.
void MarkUnmappable(std::u16string& text, EncodingId target, UnmappableAs as, UnmappableCharacters& found);

/// "U+4E2D 中" for a character: its code and the character itself (UTF-8).
std::string DescribeCharacter(char32_t character);

} // namespace veltran
