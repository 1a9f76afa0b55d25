#pragma once

#include "Bytes.h"
#include "EncodingId.h"
#include "Status.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace veltran {

/// A reading whose characters beyond ASCII cost at most this many bits each, on average, reads like
/// real text: real Chinese text costs about 8, symbols and box drawing less, a wrong reading 15 to 20.
inline constexpr std::int64_t kTextLikeBits = 14;

/// The non-ASCII characters of one reading, by what they are in Chinese text.
struct CharacterTally
{
    std::size_t common = 0;   // Chinese characters of the reading's common set (see TallyCharacters)
    std::size_t rare = 0;     // other Chinese characters
    std::size_t symbols = 0;  // non-Chinese characters of GB's or BIG5's symbol rows: punctuation, full-width
                              // forms, kana, Greek, Cyrillic, box drawing
    std::size_t foreign = 0;  // everything else: Latin letters with marks, other scripts, private use, controls
    std::size_t repeated = 0; // Chinese characters that repeat the one before (counted above as well)

    std::size_t Chinese() const { return common + rare; }
    std::size_t NonAscii() const { return common + rare + symbols + foreign; }
};

/// The judgement of one reading of a file's bytes: how likely its text is as real text.
struct ReadingJudgement
{
    bool valid = true; // false: the bytes are not valid in the encoding at all
    Status decoding;   // when not valid, the strict decoder's failure (InvalidBytes, with its offset)
    CharacterTally tally;
    std::int64_t cost = 0; // bits: -log2 of how likely real text is to hold these characters

    /// Valid, and its characters beyond ASCII cost kTextLikeBits or less each on average. ASCII-only
    /// text (nothing to judge) counts as text.
    bool LooksLikeText() const;
};

/// The judgements of the three readings of the same bytes.
struct ReadingsJudgement
{
    std::array<ReadingJudgement, 3> readings; // indexed by EncodingId

    // GB 18030 is read as GB, its family.
    const ReadingJudgement& Of(EncodingId encoding) const
    {
        return readings[static_cast<std::size_t>(EncodingFamily(encoding))];
    }
    ReadingJudgement& Of(EncodingId encoding) { return readings[static_cast<std::size_t>(EncodingFamily(encoding))]; }
};

/// Scores decoded text piece by piece as one text: the pieces may be cut anywhere between characters.
/// Each character beyond ASCII costs what real text makes of it (ChineseTextStatistics), less the
/// bonus of a frequent pair with the character before; characters the statistics do not hold cost
/// by their kind: symbols of GB's and BIG5's symbol rows little, rare Chinese characters and letters
/// of other scripts much, private use and controls most. Repeating the character before costs a
/// bit for symbols and box drawing, whose lines repeat, and much for Chinese characters, which
/// seldom repeat even once and never run on.
class ReadingScorer
{
public:
    explicit ReadingScorer(EncodingId reading) : m_reading(reading) {}

    void Add(std::u16string_view text);
    /// Takes bytes below 0x80 as their ASCII characters, as Add would.
    void AddAscii(ByteView ascii);

    const CharacterTally& Tally() const { return m_tally; }
    std::int64_t Cost() const { return m_cost; }

private:
    // ASCII costs nothing and only counts as the characters before the next one.
    template <typename Units> void TakeAsciiRun(const Units& ascii);

    EncodingId m_reading;
    CharacterTally m_tally;
    std::int64_t m_cost = 0;
    char32_t m_previous = 0;
    char32_t m_beforePrevious = 0;
};

/// Sorts the non-ASCII characters of a decoded text for the given reading. The common set is GB 2312
/// level 1 for GB, BIG5's common characters for BIG5, and either for UTF-8.
CharacterTally TallyCharacters(EncodingId reading, std::u16string_view text);

/// The characters beyond ASCII are decoded at most this many bytes at a time, so that judging a large
/// file does not hold its whole text.
inline constexpr std::size_t kJudgeChunkSize = 64 * 1024;

/// Strictly decodes the bytes in the encoding and judges the text. The bytes are judged as they
/// are, a byte-order mark included; empty or ASCII-only bytes cost nothing. `chunkSize` changes only
/// the memory used, never the judgement (0 counts as 1). Invalid bytes stop the judgement with the
/// offset of the first bad sequence in `decoding`; cost and tally are then empty.
ReadingJudgement JudgeReading(EncodingId encoding, ByteView bytes, std::size_t chunkSize = kJudgeChunkSize);

/// JudgeReading for GB, BIG5 and UTF-8.
ReadingsJudgement JudgeReadings(ByteView bytes);

} // namespace veltran
