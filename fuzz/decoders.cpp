// Fuzzes the strict decoders and the encoding check built on them. Properties: a reading is invalid
// exactly where strict decoding fails, at the same offset, and judging in small chunks gives what
// judging the whole does; a decoded text encodes back to the same characters (a character the code
// page lacks as one '?', UTF-8 to the very bytes); a refusal or a guess never contradicts the
// likelihoods it rests on, and says why in words; a trusted source is never refused; GB 18030 reads
// back what it writes, whole or in pieces.
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
    return a.common == b.common && a.rare == b.rare && a.symbols == b.symbols && a.foreign == b.foreign;
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
        FUZZ_CHECK(decoded.ok() == judged.valid);
        if (!decoded.ok()) {
            FUZZ_CHECK(judged.decoding.message == decoded.status().message);
            FUZZ_CHECK(JudgeReading(encoding, bytes, 1 + size % 13).decoding.message == decoded.status().message);
            continue;
        }
        const ReadingJudgement chunked = JudgeReading(encoding, bytes, 1 + size % 13);
        FUZZ_CHECK(chunked.cost == judged.cost && SameTally(chunked.tally, judged.tally));
        FUZZ_CHECK(SameTally(TallyCharacters(encoding, *decoded), judged.tally));
        FUZZ_CHECK(judged.tally.NonAscii() <= decoded->size());
        FUZZ_CHECK(judged.cost >= static_cast<std::int64_t>(judged.tally.NonAscii()));
        CheckEncodesBack(encoding, bytes, *decoded);
    }

    for (const EncodingId source : kEncodings) {
        for (const EncodingId target : kEncodings) {
            if (const std::optional<SourceRefusal> refusal = WrongSource(readings, source, target)) {
                const ReadingJudgement& seen = readings.Of(refusal->seen);
                const ReadingJudgement& declared = readings.Of(source);
                FUZZ_CHECK(refusal->seen != source && CredibleReading(refusal->seen, seen));
                FUZZ_CHECK(!declared.valid || declared.cost - seen.cost >= kClearMargin);
                FUZZ_CHECK(!DescribeRefusal(*refusal).empty());
            }
            FUZZ_CHECK(ChooseSourceReading(bytes, source, target, false, true).ok());
        }
    }
    const SourceGuess guess = GuessSourceEncoding(bytes);
    if (guess.encoding && !guess.asciiOnly && !HasUtf8Bom(bytes)) {
        const ReadingJudgement& chosen = readings.Of(*guess.encoding);
        FUZZ_CHECK(chosen.LooksLikeText());
        for (const EncodingId other : kEncodings)
            FUZZ_CHECK(other == *guess.encoding || !readings.Of(other).valid ||
                       readings.Of(other).cost - chosen.cost >= kClearMargin);
    }
    FUZZ_CHECK(guess.encoding.has_value() != guess.refusal.has_value() && !guess.reason.empty());
    // GB 18030 holds every character: what it decodes encodes to bytes that decode to the same text,
    // and decoding that stops before each ASCII run and goes on gives the same text as a whole.
    if (const DecodeResult gb18030 = Decode(EncodingId::Gb18030, bytes); gb18030.ok()) {
        const DecodeResult again = Decode(EncodingId::Gb18030, Encode(EncodingId::Gb18030, *gb18030));
        FUZZ_CHECK(again.ok() && *again == *gb18030);
        std::u16string pieces;
        for (std::size_t at = 0; at < size;) {
            const DecodeStop stop = DecodeAppend(EncodingId::Gb18030, bytes.subspan(at), pieces, true);
            FUZZ_CHECK(!stop.invalid);
            at += stop.offset;
            for (; at < size && data[at] < 0x80; ++at)
                pieces += static_cast<char16_t>(data[at]);
        }
        FUZZ_CHECK(pieces == *gb18030);
    }
    return 0;
}
