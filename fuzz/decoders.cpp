// Fuzzes the strict decoders and the plausibility judgement built on them. Properties:
// the judgement says Invalid exactly where strict decoding fails, at the same offset, and judging in
// small chunks gives what judging the whole does; a decoded text encodes back to the same characters
// (a character the code page lacks as one '?', UTF-8 to the very bytes); a refusal or a guess never
// contradicts the verdicts it rests on.
#include "FuzzCheck.h"
#include "ReadingPlausibility.h"
#include "SourceEncodingCheck.h"
#include "TextCodecs.h"

#include <unicode/utf16.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>

using namespace veltran;

namespace {

constexpr EncodingId kEncodings[] = {EncodingId::Gb, EncodingId::Big5, EncodingId::Utf8};

bool SameTally(const CharacterTally& a, const CharacterTally& b)
{
    return a.common == b.common && a.rare == b.rare && a.odd == b.odd && a.neutral == b.neutral;
}

void CheckEncodesBack(EncodingId encoding, ByteView bytes, const std::u16string& text)
{
    const Bytes again = Encode(encoding, text);
    if (encoding == EncodingId::Utf8) {
        FUZZ_CHECK(again.size() == bytes.size() && std::equal(again.begin(), again.end(), bytes.begin()));
        return;
    }
    const DecodeResult back = Decode(encoding, again);
    FUZZ_CHECK(back.ok());
    const std::u16string& decodedAgain = *back;
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < text.size()) {
        FUZZ_CHECK(j < decodedAgain.size());
        UChar32 original = 0;
        UChar32 decoded = 0;
        U16_NEXT(text.data(), i, text.size(), original);
        U16_NEXT(decodedAgain.data(), j, decodedAgain.size(), decoded);
        FUZZ_CHECK(decoded == original || decoded == u'?');
    }
    FUZZ_CHECK(j == decodedAgain.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const ByteView bytes(data, size);
    const ReadingsJudgement readings = JudgeReadings(bytes);
    for (const EncodingId encoding : kEncodings) {
        const ReadingJudgement& judged = readings.Of(encoding);
        const DecodeResult decoded = Decode(encoding, bytes);
        FUZZ_CHECK(decoded.ok() == (judged.verdict != Plausibility::Invalid));
        if (!decoded.ok()) {
            FUZZ_CHECK(judged.decoding.message == decoded.status().message);
            FUZZ_CHECK(JudgeReading(encoding, bytes, 1 + size % 13).decoding.message == decoded.status().message);
            continue;
        }
        const ReadingJudgement chunked = JudgeReading(encoding, bytes, 1 + size % 13);
        FUZZ_CHECK(chunked.verdict == judged.verdict && SameTally(chunked.tally, judged.tally));
        FUZZ_CHECK(SameTally(TallyCharacters(encoding, *decoded), judged.tally));
        FUZZ_CHECK(judged.tally.Judged() + judged.tally.neutral <= decoded->size());
        FUZZ_CHECK(judged.verdict == JudgeTally(judged.tally));
        CheckEncodesBack(encoding, bytes, *decoded);
    }

    for (const EncodingId source : kEncodings) {
        for (const EncodingId target : kEncodings) {
            if (WrongSourceReason(readings, source, target)) {
                const Plausibility verdict = readings.Of(source).verdict;
                FUZZ_CHECK(verdict == Plausibility::Invalid || verdict == Plausibility::Implausible);
            }
        }
    }
    const SourceGuess guess = GuessSourceEncoding(bytes);
    if (guess.encoding && !guess.asciiOnly && !HasUtf8Bom(bytes)) {
        const Plausibility verdict = readings.Of(*guess.encoding).verdict;
        FUZZ_CHECK(verdict == Plausibility::Plausible || verdict == Plausibility::Undecided);
    }
    FUZZ_CHECK(guess.encoding.has_value() || !guess.reason.empty());
    return 0;
}
