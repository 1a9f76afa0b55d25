#pragma once

#include "Bytes.h"
#include "EncodingId.h"
#include "Status.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace veltran {

/// A verdict needs at least this many judged characters...
inline constexpr std::size_t kMinJudged = 10;
/// ...and a score at least this far from zero: a handful of characters can look right, or wrong, by chance.
inline constexpr std::int64_t kDecisiveScore = 10;

/// How a reading of a file's bytes looks: whether it is real text of that encoding.
enum class Plausibility
{
    Invalid,     // the bytes are not valid in the encoding at all
    Undecided,   // too few characters to judge (ASCII only, or a handful), or the evidence is mixed
    Implausible, // enough characters, and too many of them are rare, foreign or private-use
    Plausible,   // enough characters, and nearly all common Chinese characters
};

/// The non-ASCII characters of one reading, by how real Chinese text of that encoding uses them.
struct CharacterTally
{
    std::size_t common = 0;  // Chinese characters of the encoding's common set
    std::size_t rare = 0;    // other Chinese characters
    std::size_t odd = 0;     // kana, letters of other scripts, private-use, box drawing, controls...
    std::size_t neutral = 0; // punctuation, symbols, Latin letters (pinyin, names): counted, never judged

    std::size_t Judged() const { return common + rare + odd; }
};

/// The judgement of one reading. For Plausibility::Invalid, `decoding` is the strict decoder's
/// failure (InvalidBytes, naming the offset of the first bad sequence) and the tally is empty.
struct ReadingJudgement
{
    Plausibility verdict = Plausibility::Undecided;
    CharacterTally tally;
    Status decoding;
};

/// The judgements of the three readings of the same bytes.
struct ReadingsJudgement
{
    std::array<ReadingJudgement, 3> readings; // indexed by EncodingId

    const ReadingJudgement& Of(EncodingId encoding) const { return readings[static_cast<std::size_t>(encoding)]; }
};

/// Sorts the non-ASCII characters of a decoded text for the given reading. The common set is
/// GB 2312 level 1 together with BIG5's common characters for GB (GBK pages may hold Traditional
/// text) and UTF-8, and BIG5's common characters alone for BIG5.
CharacterTally TallyCharacters(EncodingId reading, std::u16string_view text);

/// The weight of evidence in a tally: positive for a reading that looks like real text, negative
/// for one that does not. Each common character adds 1, each rare one takes 4, each odd one 6.
std::int64_t Score(const CharacterTally& tally);

/// The verdict on a tally: Plausible for a score of at least kDecisiveScore, Implausible for at
/// most -kDecisiveScore, both only with kMinJudged judged characters; Undecided otherwise. Never Invalid.
Plausibility JudgeTally(const CharacterTally& tally);

/// Decoding proceeds in pieces of about this many bytes, so that judging a large file does not hold
/// its whole text.
inline constexpr std::size_t kJudgeChunkSize = 64 * 1024;

/// Strictly decodes the bytes in the encoding and judges the text. The bytes are judged as they
/// are, a byte-order mark included; empty or ASCII-only bytes are Undecided. `chunkSize` changes
/// only the memory used, never the judgement (0 counts as 1).
ReadingJudgement JudgeReading(EncodingId encoding, ByteView bytes, std::size_t chunkSize = kJudgeChunkSize);

/// JudgeReading for GB, BIG5 and UTF-8. Bytes without any non-ASCII byte are Undecided in all three.
ReadingsJudgement JudgeReadings(ByteView bytes);

} // namespace veltran
