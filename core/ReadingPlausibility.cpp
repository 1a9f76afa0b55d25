#include "ReadingPlausibility.h"

#include "AsciiRun.h"
#include "ChineseTextStatistics.h"
#include "CommonHanCharacters.h"
#include "TextCodecs.h"

#include <unicode/uchar.h>
#include <unicode/uscript.h>
#include <unicode/utf16.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>

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

// What each character of the Basic Multilingual Plane is, worked out once: the script and character
// type look-ups cost far more than the scoring itself.
class CharacterKinds
{
public:
    enum : std::uint8_t
    {
        kHan = 1,
        kGbCommon = 2,
        kBig5Common = 4,
        kSymbol = 8, // of GB's or BIG5's symbol rows
    };

    static const CharacterKinds& Get()
    {
        static const CharacterKinds kinds;
        return kinds;
    }

    // A character's kind and what the statistics make it cost (0: not learned), kept side by side:
    // both are wanted for nearly every character judged, and one look-up misses the cache once.
    struct KindAndCost
    {
        std::uint8_t kind;
        std::uint8_t learned;
    };

    // The statistics and the sets hold no character beyond the Basic Multilingual Plane.
    KindAndCost KindAndCostOf(char32_t c) const
    {
        return c < m_entries.size() ? m_entries[c] : KindAndCost{static_cast<std::uint8_t>(IsHan(c) ? kHan : 0), 0};
    }

    std::uint8_t Of(char32_t c) const { return KindAndCostOf(c).kind; }

    // What a character costs when the statistics do not hold it.
    int UnseenCost(char32_t c) const
    {
        if (c < m_unseenCosts.size())
            return m_unseenCosts[c];
        return Of(c) & kHan ? kRareCost : kJunkCost;
    }

private:
    static bool IsHan(char32_t c)
    {
        UErrorCode status = U_ZERO_ERROR;
        return uscript_getScript(static_cast<UChar32>(c), &status) == USCRIPT_HAN && U_SUCCESS(status);
    }

    CharacterKinds()
    {
        const CommonHanCharacters& sets = CommonHanCharacters::Get();
        const ChineseTextStatistics& statistics = ChineseTextStatistics::Get();
        for (char32_t c = 0; c < m_entries.size(); ++c) {
            const bool han = IsHan(c);
            std::uint8_t kind = han ? kHan : 0;
            kind |= sets.InGbLevel1(c) ? kGbCommon : 0;
            kind |= sets.InBig5Common(c) ? kBig5Common : 0;
            kind |= sets.InSymbolRows(c) ? kSymbol : 0;
            m_entries[c] = {kind, static_cast<std::uint8_t>(statistics.Cost(c))};
            if (han)
                m_unseenCosts[c] = kind & (kGbCommon | kBig5Common) ? kUnseenCommonCost : kRareCost;
            else if (kind & kSymbol)
                m_unseenCosts[c] = kSymbolCost;
            else if (IsJunk(c))
                m_unseenCosts[c] = kJunkCost;
            else
                // Latin-1 and Latin Extended-A: names and loan words. IPA, spacing modifiers and the
                // rarer Latin letters are not what Chinese pages hold, but what GB bytes read as UTF-8 give.
                m_unseenCosts[c] = c <= 0x17F ? kLatinCost : kForeignCost;
        }
    }

    std::array<KindAndCost, 0x10000> m_entries{};
    std::array<std::uint8_t, 0x10000> m_unseenCosts{};
};

std::uint8_t CommonSet(EncodingId reading)
{
    if (reading == EncodingId::Gb)
        return CharacterKinds::kGbCommon;
    if (reading == EncodingId::Big5)
        return CharacterKinds::kBig5Common;
    return CharacterKinds::kGbCommon | CharacterKinds::kBig5Common;
}

} // namespace

bool ReadingJudgement::LooksLikeText() const
{
    return valid && cost <= kTextLikeBits * static_cast<std::int64_t>(tally.NonAscii());
}

template <typename Units> void ReadingScorer::TakeAsciiRun(const Units& ascii)
{
    if (ascii.empty())
        return;
    m_beforePrevious = ascii.size() >= 2 ? ascii[ascii.size() - 2] : m_previous;
    m_previous = ascii.back();
}

void ReadingScorer::Add(std::u16string_view text)
{
    const CharacterKinds& kinds = CharacterKinds::Get();
    const ChineseTextStatistics& statistics = ChineseTextStatistics::Get();
    const std::uint8_t commonSet = CommonSet(m_reading);
    std::size_t i = 0;
    while (i < text.size()) {
        // Most of a page is ASCII, skipped a block at a time; the judgement gives runs without any.
        if (text[i] < 0x80) {
            const std::size_t ascii = AsciiRunLength(text.data() + i, text.data() + text.size());
            TakeAsciiRun(text.substr(i, ascii));
            if ((i += ascii) == text.size())
                break;
        }
        UChar32 unit = 0;
        U16_NEXT(text.data(), i, text.size(), unit);
        const auto c = static_cast<char32_t>(unit);
        const auto [kind, learned] = kinds.KindAndCostOf(c);
        const bool han = (kind & CharacterKinds::kHan) != 0;
        const bool symbol = (kind & CharacterKinds::kSymbol) != 0;
        if (han && (kind & commonSet))
            ++m_tally.common;
        else if (han)
            ++m_tally.rare;
        else if (symbol)
            ++m_tally.symbols;
        else
            ++m_tally.foreign;

        int cost = 0;
        if (c == m_previous) {
            m_tally.repeated += han ? 1 : 0;
            if (han)
                cost = m_previous == m_beforePrevious ? kHanRunCost : kHanDoubledCost;
            else
                cost = symbol || (c >= 0x2500 && c <= 0x259F) ? kSymbolRepeatCost : kOtherRepeatCost;
        } else if (learned > 0) {
            // Only pairs of Chinese characters are learned.
            const bool pair = han && m_previous >= 0x80 && (kinds.Of(m_previous) & CharacterKinds::kHan);
            cost = pair ? std::max(1, learned - statistics.PairBonus(m_previous, c)) : learned;
        } else {
            cost = kinds.UnseenCost(c);
        }
        m_cost += cost;
        m_beforePrevious = m_previous;
        m_previous = c;
    }
}

void ReadingScorer::AddAscii(ByteView ascii)
{
    TakeAsciiRun(ascii);
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
    // Only the characters beyond ASCII are decoded, at most a chunk at a time: ASCII, most of a page,
    // reads the same in every reading and only counts as the character before. The runs between are
    // mostly a few characters long, so they all go to one buffer made once.
    const std::size_t step = std::max<std::size_t>(chunkSize, 1);
    const std::size_t room = std::min(step, bytes.size()) + 4;
    const std::unique_ptr<char16_t[]> decoded = std::make_unique_for_overwrite<char16_t[]>(room);
    const std::uint8_t* const begin = bytes.data();
    const std::uint8_t* const end = begin + bytes.size();
    const std::uint8_t* in = begin;
    while (in < end) {
        const std::size_t ascii = AsciiRunLength(in, end);
        scorer.AddAscii(ByteView(in, ascii));
        if ((in += ascii) == end)
            break;
        char16_t* out = decoded.get();
        bool invalid = false;
        const std::uint8_t* const stop = static_cast<std::size_t>(end - in) > step ? in + step : end;
        const std::uint8_t* const reached = DecodeRun(encoding, in, stop, end, true, out, invalid);
        if (invalid) {
            judgement.valid = false;
            judgement.decoding = InvalidBytesAt(encoding, static_cast<std::size_t>(reached - begin));
            return judgement;
        }
        scorer.Add(std::u16string_view(decoded.get(), static_cast<std::size_t>(out - decoded.get())));
        in = reached;
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
