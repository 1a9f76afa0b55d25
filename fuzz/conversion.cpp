// Fuzzes the whole in-memory conversion of a file's bytes, as ConvertFile does it between reading and
// writing: the choice of the reading (declared or guessed), strict decoding, the Simplified and
// Traditional mappings, the rules and the target's encoding. The first byte chooses the options and
// the size of the pieces, the rest is the file. Properties: nothing throws; a declared reading that is
// plausible is never refused; a guessed reading decodes (unless a byte-order mark decided it); the
// conversion in pieces gives the whole text's bytes, or the same failure; it fails only when the
// rules empty a GB or BIG5 text; and its bytes are valid in the target encoding.
#include "CharsetHeader.h"
#include "FileBytesConversion.h"
#include "FuzzCheck.h"
#include "RuleTable.h"
#include "TextCodecs.h"
#include "TextLayout.h"
#include "TextPipeline.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

using namespace veltran;

namespace {

constexpr EncodingId kEncodings[] = {EncodingId::Gb, EncodingId::Big5, EncodingId::Utf8, EncodingId::Utf8};

const RuleTable& Rules()
{
    static const RuleTable rules = [] {
        RuleTable table;
        table.Rule(1) = {RuleKind::InsertAtHead, kInsertPlaceholder, u"<!-- \u4E2D -->"};
        table.Rule(2) = {RuleKind::Replace, u"charset=gb2312", u"charset=utf-8"};
        table.Rule(3) = {RuleKind::Replace, u"\u4E2D", u""};
        table.Rule(4) = {RuleKind::AppendAtTail, kInsertPlaceholder, u"\r\n"};
        return table;
    }();
    return rules;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::uint8_t choice = data[0];
    const ByteView bytes(data + 1, size - 1);
    const bool guess = (choice & 3) == 3;
    TextOptions options;
    options.source = kEncodings[choice & 3];
    options.target = kEncodings[(choice >> 2) & 3];
    options.applyRules = (choice & 0x10) != 0;
    options.rewriteDeclarations = (choice & 0x20) != 0;
    options.sourceMode = guess ? SourceMode::Guessed : SourceMode::Declared;

    const Result<SourceReading> reading = ChooseSourceReading(
        bytes, guess ? std::nullopt : std::optional(options.source), options.target, options.applyRules);
    if (!guess) {
        // Real text in the declared encoding, read no worse than any other way, is never refused.
        const ReadingsJudgement readings = JudgeReadings(bytes);
        bool likeliest = readings.Of(options.source).LooksLikeText();
        for (const EncodingId other : kEncodings)
            likeliest =
                likeliest && (!readings.Of(other).valid || readings.Of(other).cost >= readings.Of(options.source).cost);
        FUZZ_CHECK(!likeliest || reading.ok());
    }
    if (!reading)
        return 0;
    if (guess)
        options.source = reading->encoding;
    Result<std::u16string> text = DecodeFileBytes(bytes, options.source);
    // A guess reads only what decodes, though there may be nothing, and a byte-order mark decides
    // whatever follows it; a declared reading may still hold invalid bytes.
    FUZZ_CHECK(text.ok() || !guess || HasUtf8Bom(bytes) || text.status().code == StatusCode::Empty);
    // What ConvertFile runs: the bytes in pieces (of 1 to 22 units here) without rules, the whole
    // text with them; either way the result is the whole text's, declarations rewritten alike.
    ConversionNotes notes;
    ConversionNotes piecewiseNotes;
    const PipelineNotes asked{true, true};
    const Result<ByteBuffer> piecewise =
        ConvertFileBytes(bytes, options, Rules(), asked, &piecewiseNotes, 1 + (choice >> 6) * 7);
    if (!text) {
        FUZZ_CHECK(!piecewise.ok() && piecewise.status().message == text.status().message);
        return 0;
    }
    const Result<ByteBuffer> converted =
        TextPipeline(options, LayoutOf(bytes, options.source)->encoding, &Rules(), asked, notes)
            .ConvertWhole(std::move(*text));
    FUZZ_CHECK(piecewise.ok() == converted.ok());
    if (!converted) {
        FUZZ_CHECK(converted.status().code == StatusCode::EmptyResult && options.target != EncodingId::Utf8);
        return 0;
    }
    const ByteView whole = *converted;
    const ByteView pieces = *piecewise;
    FUZZ_CHECK(std::equal(whole.begin(), whole.end(), pieces.begin(), pieces.end()));
    FUZZ_CHECK(piecewiseNotes.declarations.rewritten == notes.declarations.rewritten);
    FUZZ_CHECK(piecewiseNotes.unmappable.count == notes.unmappable.count);
    FUZZ_CHECK(piecewiseNotes.mapped.count == notes.mapped.count);
    FUZZ_CHECK(Decode(options.target, whole).ok());
    return 0;
}
