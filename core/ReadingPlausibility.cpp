#include "ReadingPlausibility.h"

#include "CommonHanCharacters.h"
#include "TextCodecs.h"

#include <unicode/uchar.h>
#include <unicode/uscript.h>
#include <unicode/utf16.h>

#include <algorithm>
#include <cstdint>

namespace veltran {
namespace {

// Real Chinese text keeps all but about one character in a hundred to the common set, while a
// wrong reading leaves it for some half of its characters: a common character is weak evidence
// for a reading, a rare one strong evidence against, an odd one stronger still. The weights are
// those odds in round numbers.
constexpr std::int64_t kCommonWeight = 1;
constexpr std::int64_t kRareWeight = -4;
constexpr std::int64_t kOddWeight = -6;

bool IsHan(UChar32 c)
{
    UErrorCode status = U_ZERO_ERROR;
    return uscript_getScript(c, &status) == USCRIPT_HAN && U_SUCCESS(status);
}

// Punctuation, symbols and Latin letters turn up in real Chinese text, and wrong readings land on
// them too, so they count for neither side. Box drawing and block elements are the exception:
// GB's row A9 holds them, where BIG5's frequent characters fall when read as GB.
bool IsNeutral(UChar32 c)
{
    if (c >= 0xFF01 && c <= 0xFF5E)
        return true; // full-width forms of ASCII, letters and digits included
    if (c >= 0x2500 && c <= 0x259F)
        return false;
    // Latin letters with marks are pinyin, names and loan words in real text.
    UErrorCode status = U_ZERO_ERROR;
    if (uscript_getScript(c, &status) == USCRIPT_LATIN && U_SUCCESS(status))
        return true;
    switch (u_charType(c)) {
    case U_SPACE_SEPARATOR:
    case U_DASH_PUNCTUATION:
    case U_START_PUNCTUATION:
    case U_END_PUNCTUATION:
    case U_CONNECTOR_PUNCTUATION:
    case U_OTHER_PUNCTUATION:
    case U_INITIAL_PUNCTUATION:
    case U_FINAL_PUNCTUATION:
    case U_MATH_SYMBOL:
    case U_CURRENCY_SYMBOL:
    case U_MODIFIER_SYMBOL:
    case U_OTHER_SYMBOL:
    case U_OTHER_NUMBER:
    case U_LETTER_NUMBER:
    case U_FORMAT_CHAR:
        return true;
    default:
        return false;
    }
}

bool IsCommon(EncodingId reading, UChar32 c, const CommonHanCharacters& sets)
{
    const auto character = static_cast<char32_t>(c);
    if (reading == EncodingId::Big5)
        return sets.InBig5Common(character);
    return sets.InGbLevel1(character) || sets.InBig5Common(character);
}

// No byte below 0x80 starts a character of two or more bytes in any of the three encodings, so a
// chunk that ends just after one decodes as it would within the whole, invalid offsets included.
std::size_t ChunkEnd(ByteView bytes, std::size_t start, std::size_t chunkSize)
{
    std::size_t end = start + std::clamp<std::size_t>(chunkSize, 1, bytes.size() - start);
    while (end < bytes.size() && bytes[end - 1] >= 0x80)
        ++end;
    return end;
}

} // namespace

CharacterTally TallyCharacters(EncodingId reading, std::u16string_view text)
{
    const CommonHanCharacters& sets = CommonHanCharacters::Get();
    CharacterTally tally;
    std::size_t i = 0;
    while (i < text.size()) {
        UChar32 c = 0;
        U16_NEXT(text.data(), i, text.size(), c);
        if (c < 0x80)
            continue;
        if (IsCommon(reading, c, sets))
            ++tally.common;
        else if (IsHan(c))
            ++tally.rare;
        else if (IsNeutral(c))
            ++tally.neutral;
        else
            ++tally.odd;
    }
    return tally;
}

std::int64_t Score(const CharacterTally& tally)
{
    return kCommonWeight * static_cast<std::int64_t>(tally.common) +
           kRareWeight * static_cast<std::int64_t>(tally.rare) + kOddWeight * static_cast<std::int64_t>(tally.odd);
}

Plausibility JudgeTally(const CharacterTally& tally)
{
    if (tally.Judged() < kMinJudged)
        return Plausibility::Undecided;
    const std::int64_t score = Score(tally);
    if (score >= kDecisiveScore)
        return Plausibility::Plausible;
    if (score <= -kDecisiveScore)
        return Plausibility::Implausible;
    return Plausibility::Undecided;
}

ReadingJudgement JudgeReading(EncodingId encoding, ByteView bytes, std::size_t chunkSize)
{
    ReadingJudgement judgement;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t end = ChunkEnd(bytes, start, chunkSize);
        const DecodeResult decoded = Decode(encoding, bytes.subspan(start, end - start));
        if (!decoded.ok()) {
            // The bytes up to this chunk's end fail where the whole would, and say so with the offset
            // counted from the start of the file.
            judgement = ReadingJudgement{};
            judgement.verdict = Plausibility::Invalid;
            judgement.decoding = Decode(encoding, bytes.first(end)).status();
            return judgement;
        }
        const CharacterTally chunk = TallyCharacters(encoding, *decoded);
        judgement.tally.common += chunk.common;
        judgement.tally.rare += chunk.rare;
        judgement.tally.odd += chunk.odd;
        judgement.tally.neutral += chunk.neutral;
        start = end;
    }
    judgement.verdict = JudgeTally(judgement.tally);
    return judgement;
}

ReadingsJudgement JudgeReadings(ByteView bytes)
{
    ReadingsJudgement judgements;
    for (const EncodingId encoding : {EncodingId::Gb, EncodingId::Big5, EncodingId::Utf8})
        judgements.readings[static_cast<std::size_t>(encoding)] = JudgeReading(encoding, bytes);
    return judgements;
}

} // namespace veltran
