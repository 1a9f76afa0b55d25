#include "FileBytesConversion.h"

#include "AsciiRun.h"
#include "ChineseMapping.h"
#include "SourceEncodingCheck.h"
#include "TextCodecs.h"
#include "TextLayout.h"

#include <unicode/utf16.h>

#include <algorithm>

namespace veltran {
namespace {

// ASCII between two runs of other characters is mapped with them when it is this short, which costs
// less than mapping each run on its own.
constexpr std::size_t kJoinedAscii = 16;

// The bytes a conversion must give, when a caller only asks whether it gives them: checked as the
// output grows, so that a conversion that differs early stops early.
struct ExpectedOutput
{
    ByteView bytes;
    std::size_t checked = 0;
    bool differs = false;

    // Whether the output still begins as the expected bytes do; notes it when not.
    bool StillMatches(const ByteBuffer& out)
    {
        differs = differs || out.size() > bytes.size() ||
                  !std::equal(out.data() + checked, out.data() + out.size(), bytes.data() + checked);
        checked = out.size();
        return !differs;
    }
};

// Converts the text after the layout's start piece by piece. Long runs of ASCII are copied as they
// are; the other characters, with short ASCII between them, are decoded, mapped and encoded a piece
// at a time. A piece longer than `pieceUnits` is cut before a unit where no phrase reaches across, so
// the result is the whole text's. With `expected` it stops, giving no bytes, once the output differs.
Result<ByteBuffer> ConvertInPieces(ByteView bytes, const TextLayout& layout, const TextOptions& options,
                                   TextPipeline& pipeline, std::size_t pieceUnits, ExpectedOutput* expected)
{
    const std::uint8_t* const data = bytes.data();
    const std::size_t size = bytes.size();
    const std::size_t textBytes = size - layout.start;
    // Room that is not written costs no memory, so the guess errs on the large side: two bytes of GB
    // or BIG5 become three of UTF-8.
    ByteBuffer out(layout.encoding != EncodingId::Utf8 && options.target == EncodingId::Utf8
                       ? textBytes + textBytes / 2 + 16
                       : textBytes + textBytes / 16 + 16);
    std::u16string piece;
    // No unit of the piece after its first, and before this index, is a boundary.
    std::size_t searched = 0;
    auto convert = [&](std::size_t units) {
        pipeline.ConvertPiece(std::u16string_view(piece).substr(0, units), out);
        piece.erase(0, units);
        searched = piece.size();
    };

    std::size_t pos = layout.start;
    while (pos < size) {
        const std::size_t ascii = AsciiRunLength(data + pos, data + size);
        if (piece.empty() || ascii > kJoinedAscii || pos + ascii == size) {
            if (!piece.empty())
                convert(piece.size());
            pipeline.CopyAscii(bytes.subspan(pos, ascii), out);
        } else {
            piece.append(data + pos, data + pos + ascii);
        }
        pos += ascii;
        if (expected && !expected->StillMatches(out))
            return ByteBuffer();
        if (pos == size)
            break;
        const DecodeStop stop = DecodeAppend(layout.encoding, bytes.subspan(pos), piece, true, pieceUnits);
        if (stop.invalid)
            return InvalidBytesAt(layout.encoding, pos + stop.offset);
        pos += stop.offset;
        if (piece.size() >= pieceUnits) {
            // Only what lies before the last boundary is mapped now.
            std::size_t cut = 0;
            for (std::size_t i = piece.size(); i-- > std::max<std::size_t>(searched, 1) && cut == 0;) {
                if (IsMappingBoundary(piece[i]) && !U16_IS_TRAIL(piece[i]))
                    cut = i;
            }
            searched = piece.size();
            if (cut != 0)
                convert(cut);
        }
    }
    if (!piece.empty())
        convert(piece.size());
    if (out.empty() && options.target != EncodingId::Utf8)
        return EmptyTextFailure(options.target);
    return out;
}

// Whether every ASCII unit stands outside every phrase, which OpenCC's dictionaries never break.
bool AsciiIsBoundary()
{
    static const bool boundary = [] {
        for (char16_t unit = 0; unit < 0x80; ++unit) {
            if (!IsMappingBoundary(unit))
                return false;
        }
        return true;
    }();
    return boundary;
}

Result<ByteBuffer> ConvertBytes(ByteView bytes, const TextOptions& options, const RuleTable& rules, PipelineNotes asked,
                                ConversionNotes* notes, std::size_t pieceUnits, ExpectedOutput* expected)
{
    const Result<TextLayout> layout = LayoutOf(bytes, options.source);
    if (!layout)
        return layout.status();
    ConversionNotes own;
    ConversionNotes& told = notes ? *notes : own;
    TextPipeline pipeline(options, layout->encoding, &rules, asked, told);
    // GB 18030's four-byte sequences hold ASCII digits, which the search of declarations in bytes
    // would take for text, so its text is converted whole.
    if (options.applyRules || !AsciiIsBoundary() || layout->encoding == EncodingId::Gb18030) {
        Result<std::u16string> text = DecodeFileBytes(bytes, options.source);
        if (!text)
            return text.status();
        return pipeline.ConvertWhole(std::move(*text));
    }
    pieceUnits = std::max<std::size_t>(pieceUnits, 1);
    if (!options.rewriteDeclarations)
        return ConvertInPieces(bytes, *layout, options, pipeline, pieceUnits, expected);
    // Declarations are ASCII, so they are rewritten in the bytes and the text still goes in pieces.
    Bytes rewritten;
    told.declarations =
        RewriteCharsetDeclarations(bytes, layout->start, layout->encoding, layout->encoding, options.target, rewritten);
    if (told.declarations.rewritten == 0)
        return ConvertInPieces(bytes, *layout, options, pipeline, pieceUnits, expected);
    Result<ByteBuffer> converted = ConvertInPieces(rewritten, *layout, options, pipeline, pieceUnits, expected);
    if (converted)
        return converted;
    // A failure names its offset in the file as it is, before any label changed length.
    ConversionNotes scratch;
    TextPipeline again(options, layout->encoding, &rules, asked, scratch);
    return ConvertInPieces(bytes, *layout, options, again, pieceUnits, nullptr).status();
}

} // namespace

Result<ByteBuffer> ConvertFileBytes(ByteView bytes, const TextOptions& options, const RuleTable& rules,
                                    PipelineNotes asked, ConversionNotes* notes, std::size_t pieceUnits)
{
    return ConvertBytes(bytes, options, rules, asked, notes, pieceUnits, nullptr);
}

bool ConversionGives(ByteView content, const TextOptions& options, const RuleTable& rules, ByteView expected)
{
    const bool guessed = options.sourceMode == SourceMode::Guessed;
    const SourceChoice chosen =
        ChooseSource(content, guessed ? std::nullopt : std::optional(options.source), options.target,
                     options.applyRules, options.sourceMode == SourceMode::Trusted);
    if (!chosen.reading)
        return false;
    TextOptions used = options;
    if (guessed)
        used.source = chosen.reading->encoding;
    ExpectedOutput wanted{expected};
    const Result<ByteBuffer> converted = ConvertBytes(content, used, rules, {}, nullptr, kDefaultPieceUnits, &wanted);
    if (!converted || wanted.differs)
        return false;
    const ByteView bytes = *converted;
    return std::equal(bytes.begin(), bytes.end(), expected.begin(), expected.end());
}

Result<ByteBuffer> ConvertContent(ByteView content, const TextOptions& options, const RuleTable& rules,
                                  PipelineNotes asked, ConversionNotes& notes)
{
    const bool guessed = options.sourceMode == SourceMode::Guessed;
    SourceChoice chosen = ChooseSource(content, guessed ? std::nullopt : std::optional(options.source), options.target,
                                       options.applyRules, options.sourceMode == SourceMode::Trusted);
    if (!chosen.reading) {
        const Status refused = RefusalStatus(*chosen.refusal);
        notes.refusal = refused.context.refusal;
        return refused;
    }
    notes.reading = *chosen.reading;
    if (!guessed)
        return ConvertFileBytes(content, options, rules, asked, &notes);
    TextOptions used = options;
    used.source = notes.reading.encoding;
    return ConvertFileBytes(content, used, rules, asked, &notes);
}

} // namespace veltran
