#include "ReadingPlausibility.h"

#include "ChineseTextStatistics.h"
#include "CommonHanCharacters.h"
#include "TextCodecs.h"

#include <unicode/uchar.h>
#include <unicode/uscript.h>
#include <unicode/utf16.h>

#include <algorithm>

namespace veltran {
namespace {

// Costs in bits of the characters the statistics do not hold, by kind: roughly -log2 of how often
// real Chinese text of the web holds one such character.
constexpr int kUnseenCommonCost = 17; // a common Chinese character too seldom used to be learned
constexpr int kRareCost = 20;         // other Chinese characters: GBK's and BIG5's second levels, extensions
constexpr int kSymbolCost = 12;       // kana, Greek, Cyrillic, box drawing, symbols of the code pages' rows
constexpr int kLatinCost = 14;        // Latin letters with marks: names, loan words
constexpr int kForeignCost = 20;      // letters and signs of other scripts
constexpr int kJunkCost = 24;         // private use, controls, marks with nothing to sit on, unassigned
// Repeating the character before: a symbol's line goes on; a Chinese character doubled is a word now
// and then (看看), three in a row almost never.
constexpr int kSymbolRepeatCost = 1;
constexpr int kOtherRepeatCost = 6;
constexpr int kHanDoubledCost = 9;
constexpr int kHanRunCost = 16;

bool IsHan(char32_t c)
{
    UErrorCode status = U_ZERO_ERROR;
    return uscript_getScript(static_cast<UChar32>(c), &status) == USCRIPT_HAN && U_SUCCESS(status);
}

bool IsCommon(EncodingId reading, char32_t c, const CommonHanCharacters& sets)
{
    if (reading == EncodingId::Gb)
        return sets.InGbLevel1(c);
    if (reading == EncodingId::Big5)
        return sets.InBig5Common(c);
    return sets.InGbLevel1(c) || sets.InBig5Common(c);
}

bool IsJunk(char32_t c)
{
    switch (u_charType(static_cast<UChar32>(c))) {
    case U_UNASSIGNED:
    case U_CONTROL_CHAR:
    case U_PRIVATE_USE_CHAR:
    case U_SURROGATE:
    case U_NON_SPACING_MARK:
    case U_ENCLOSING_MARK:
    case U_COMBINING_SPACING_MARK:
        return true;
    default:
        return c == 0xFFFD;
    }
}

// What a character costs when the statistics do not hold it.
int UnseenCost(char32_t c, bool han, bool common, const CommonHanCharacters& sets)
{
    if (han)
        return common || sets.InGbLevel1(c) || sets.InBig5Common(c) ? kUnseenCommonCost : kRareCost;
    if (sets.InSymbolRows(c))
        return kSymbolCost;
    if (IsJunk(c))
        return kJunkCost;
    // Latin-1 and Latin Extended-A: names and loan words. IPA, spacing modifiers and the rarer Latin
    // letters are not what Chinese pages hold, but what GB bytes read as UTF-8 give.
    return c <= 0x17F ? kLatinCost : kForeignCost;
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

bool ReadingJudgement::LooksLikeText() const
{
    return valid && cost <= kTextLikeBits * static_cast<std::int64_t>(tally.NonAscii());
}

void ReadingScorer::Add(std::u16string_view text)
{
    const CommonHanCharacters& sets = CommonHanCharacters::Get();
    const ChineseTextStatistics& statistics = ChineseTextStatistics::Get();
    std::size_t i = 0;
    while (i < text.size()) {
        UChar32 unit = 0;
        U16_NEXT(text.data(), i, text.size(), unit);
        const auto c = static_cast<char32_t>(unit);
        if (c < 0x80) {
            m_beforePrevious = m_previous;
            m_previous = c;
            continue;
        }
        const bool han = IsHan(c);
        const bool common = han && IsCommon(m_reading, c, sets);
        if (common)
            ++m_tally.common;
        else if (han)
            ++m_tally.rare;
        else if (sets.InSymbolRows(c))
            ++m_tally.symbols;
        else
            ++m_tally.foreign;

        int cost = 0;
        if (c == m_previous) {
            m_tally.repeated += han ? 1 : 0;
            if (han)
                cost = m_previous == m_beforePrevious ? kHanRunCost : kHanDoubledCost;
            else
                cost = sets.InSymbolRows(c) || (c >= 0x2500 && c <= 0x259F) ? kSymbolRepeatCost : kOtherRepeatCost;
        } else if (const int learned = statistics.Cost(c); learned > 0) {
            cost = std::max(1, learned - statistics.PairBonus(m_previous, c));
        } else {
            cost = UnseenCost(c, han, common, sets);
        }
        m_cost += cost;
        m_beforePrevious = m_previous;
        m_previous = c;
    }
}

CharacterTally TallyCharacters(EncodingId reading, std::u16string_view text)
{
    ReadingScorer scorer(reading);
    scorer.Add(text);
    return scorer.Tally();
}

ReadingJudgement JudgeReading(EncodingId encoding, ByteView bytes, std::size_t chunkSize)
{
    ReadingJudgement judgement;
    ReadingScorer scorer(encoding);
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t end = ChunkEnd(bytes, start, chunkSize);
        const DecodeResult decoded = Decode(encoding, bytes.subspan(start, end - start));
        if (!decoded.ok()) {
            // The bytes up to this chunk's end fail where the whole would, and say so with the offset
            // counted from the start of the file.
            judgement.valid = false;
            judgement.decoding = Decode(encoding, bytes.first(end)).status();
            return judgement;
        }
        scorer.Add(*decoded);
        start = end;
    }
    judgement.tally = scorer.Tally();
    judgement.cost = scorer.Cost();
    return judgement;
}

ReadingsJudgement JudgeReadings(ByteView bytes)
{
    ReadingsJudgement judgements;
    for (const EncodingId encoding : {EncodingId::Gb, EncodingId::Big5, EncodingId::Utf8})
        judgements.Of(encoding) = JudgeReading(encoding, bytes);
    return judgements;
}

} // namespace veltran
