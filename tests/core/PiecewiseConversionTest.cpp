// Without rules a file's text goes through in pieces: runs of ASCII copied as they are, the rest
// decoded, mapped and encoded a piece at a time and cut where no phrase reaches across. Whatever
// the piece size, the bytes and the failures must be those of the whole text at once.

#include "FileBytesConversion.h"
#include "OpenccConverter.h"
#include "OpenccDictionaryReader.h"
#include "TextCodecs.h"
#include "TextLayout.h"
#include "TextPipeline.h"

#include <gtest/gtest.h>

#include <string>

namespace veltran {
namespace {

// The phrases of both directions back to back, in runs of one to twelve that phrases of one run
// reach across, with ASCII between runs that is sometimes short enough to join two runs in one
// piece, characters outside the BMP now and then (the shell's low surrogate, DC1A, is in no key, so
// a careless cut would split the pair), charset declarations of each family, and link targets whose
// quotes are far from their Chinese characters.
const std::u16string& MixedText()
{
    static const std::u16string text = [] {
        std::u16string mixed;
        std::size_t phrase = 0;
        for (const char* config : {kS2twConfig, kT2sConfig, kTw2sConfig}) {
            const Dictionary phrases =
                OpenccDictionaryReader::FromFile(std::string(kOpenccDataDir) + config).segmentation;
            for (std::size_t i = 0; i < phrases.size(); i += 7, ++phrase) {
                mixed += phrases[i].key;
                if (phrase % 12 == 0) {
                    mixed += std::u16string(phrase % 40, u'a') + u"\r\n";
                }
                if (phrase % 97 == 0) {
                    mixed += u"\U00020BB7\U0001F41A";
                }
                if (phrase % 53 == 0) {
                    static const std::u16string links[] = {u"<a href=\"" + std::u16string(40, u'x') + u"/頭髮.htm\">",
                                                           u"'https://例子.com/" + std::u16string(phrase % 30, u'y'),
                                                           u"\"/頭髮\"", u"src='說明"};
                    mixed += links[phrase / 53 % 4];
                }
                if (phrase % 61 == 0) {
                    static const std::u16string declarations[] = {
                        u"<meta charset=\"GB2312\">", u"<?xml version=\"1.0\" encoding='big5'?>",
                        u"<% Response.Charset = \"utf-8\" %>",
                        u"<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gbk\">"};
                    mixed += declarations[phrase / 61 % 4];
                }
            }
        }
        return mixed;
    }();
    return text;
}

struct Direction
{
    const char* name;
    EncodingId source;
    EncodingId target;
};

void PrintTo(const Direction& d, std::ostream* os)
{
    *os << d.name;
}

TextOptions Options(const Direction& direction)
{
    TextOptions options;
    options.source = direction.source;
    options.target = direction.target;
    return options;
}

std::string Text(ByteView bytes)
{
    return {bytes.begin(), bytes.end()};
}

class PiecewiseConversionTest : public ::testing::TestWithParam<Direction>
{
};

// With declarations rewritten too: they are rewritten in the bytes before the pieces.
TEST_P(PiecewiseConversionTest, AnyPieceSizeGivesTheWholeTextsBytes)
{
    const Direction& direction = GetParam();
    const Bytes bytes = Encode(direction.source, MixedText());
    for (const bool declarations : {false, true}) {
        TextOptions options = Options(direction);
        options.rewriteDeclarations = declarations;
        ConversionNotes wholeNotes;
        const RuleTable noRules;
        const Result<ByteBuffer> whole = TextPipeline(options, direction.source, &noRules, {true, true}, wholeNotes)
                                             .ConvertWhole(*DecodeFileBytes(bytes, direction.source));
        ASSERT_TRUE(whole.ok());
        for (const std::size_t pieceUnits : {1, 2, 5, 64, 16384}) {
            ConversionNotes notes;
            const Result<ByteBuffer> pieces = ConvertFileBytes(bytes, options, {}, {true, true}, &notes, pieceUnits);
            ASSERT_TRUE(pieces.ok()) << pieces.status().message;
            EXPECT_TRUE(Text(*pieces) == Text(*whole)) << "pieces of " << pieceUnits << " units";
            EXPECT_EQ(notes.declarations.rewritten, wholeNotes.declarations.rewritten);
            EXPECT_EQ(notes.unmappable.count, wholeNotes.unmappable.count);
            EXPECT_EQ(notes.mapped.count, wholeNotes.mapped.count);
        }
        if (declarations && direction.source != direction.target) {
            EXPECT_GT(wholeNotes.declarations.rewritten, 0u);
        }
    }
}

// Whether a conversion gives certain bytes is answered piece by piece, stopping at the first that
// differs: the whole output says yes, and any change to it, early or late, longer or shorter, says no.
TEST_P(PiecewiseConversionTest, ConversionGivesOnlyItsOwnBytes)
{
    const Direction& direction = GetParam();
    const Bytes bytes = Encode(direction.source, MixedText());
    for (const bool rules : {false, true}) {
        TextOptions options = Options(direction);
        options.applyRules = rules;
        const RuleTable noRules;
        const Result<ByteBuffer> converted = ConvertFileBytes(bytes, options, noRules);
        ASSERT_TRUE(converted.ok());
        const ByteView out = *converted;
        const Bytes whole(out.begin(), out.end());
        EXPECT_TRUE(ConversionGives(bytes, options, noRules, whole));
        for (const std::size_t at : {std::size_t{0}, whole.size() / 2, whole.size() - 1}) {
            Bytes changed = whole;
            changed[at] ^= 0x20;
            EXPECT_FALSE(ConversionGives(bytes, options, noRules, changed)) << "changed at " << at;
        }
        EXPECT_FALSE(ConversionGives(bytes, options, noRules, Bytes(whole.begin(), whole.end() - 1)));
        Bytes longer = whole;
        longer.push_back('x');
        EXPECT_FALSE(ConversionGives(bytes, options, noRules, longer));
    }
}

TEST_P(PiecewiseConversionTest, InvalidBytesInALongRunNameTheWholeTextsOffset)
{
    const Direction& direction = GetParam();
    const std::string bad = direction.source == EncodingId::Gb     ? "\x81\x7F"
                            : direction.source == EncodingId::Big5 ? "\xA4\x80"
                                                                   : "\xC0\x80";
    // A character outside the BMP is a '?' in GB and BIG5, so Chinese alone makes the run. A
    // declaration rewritten before it must not move the offset.
    Bytes bytes = Encode(direction.source, u"<meta charset=gb2312><meta charset=big5><meta charset=utf8><p>" +
                                               std::u16string(3000, u'中') + u"中国");
    bytes.insert(bytes.end(), bad.begin(), bad.end());
    const Status expected = DecodeFileBytes(bytes, direction.source).status();
    ASSERT_EQ(expected.code, StatusCode::InvalidBytes);
    for (const bool declarations : {false, true}) {
        TextOptions options = Options(direction);
        options.rewriteDeclarations = declarations;
        for (const std::size_t pieceUnits : {1, 7, 16384}) {
            const Result<ByteBuffer> pieces = ConvertFileBytes(bytes, options, {}, {}, nullptr, pieceUnits);
            EXPECT_EQ(pieces.status().message, expected.message) << "pieces of " << pieceUnits << " units";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Directions, PiecewiseConversionTest,
                         ::testing::Values(Direction{"GbToBig5", EncodingId::Gb, EncodingId::Big5},
                                           Direction{"Big5ToGb", EncodingId::Big5, EncodingId::Gb},
                                           Direction{"GbToUtf8", EncodingId::Gb, EncodingId::Utf8},
                                           Direction{"Big5ToUtf8", EncodingId::Big5, EncodingId::Utf8},
                                           Direction{"Big5ToBig5", EncodingId::Big5, EncodingId::Big5},
                                           Direction{"Utf8ToBig5", EncodingId::Utf8, EncodingId::Big5},
                                           Direction{"Utf8ToUtf8", EncodingId::Utf8, EncodingId::Utf8}),
                         [](const auto& info) { return std::string(info.param.name); });

// Simplified text needs no mapping to Simplified forms, yet its characters still move the link
// trackers on: after "href=" a Chinese character means the quote that follows opens no link target,
// and a quote inside such text opens or closes one.
TEST(PiecewiseConversionTest, TextLeftAsItIsStillMovesTheLinkTrackers)
{
    const std::u16string texts[] = {u"<a href=中\"髮\">髮</a>", u"<a href=中\"乾\">後</a>",
                                    u"<a title=\"中文\" href=\"中文/頭髮.htm\">頭髮</a>", u"<img src=中文'說明'>",
                                    u"中\"https://例子.com/頭髮\" 头发 頭髮"};
    for (const EncodingId target : {EncodingId::Big5, EncodingId::Gb, EncodingId::Utf8}) {
        TextOptions options;
        options.source = EncodingId::Gb;
        options.target = target;
        for (const std::u16string& text : texts) {
            const Bytes bytes = Encode(EncodingId::Gb, text);
            const Result<ByteBuffer> whole = ConvertFileBytes(bytes, options, {}, {}, nullptr, 1 << 20);
            ASSERT_TRUE(whole.ok());
            for (const std::size_t pieceUnits : {1, 2, 3}) {
                const Result<ByteBuffer> pieces = ConvertFileBytes(bytes, options, {}, {}, nullptr, pieceUnits);
                ASSERT_TRUE(pieces.ok());
                EXPECT_TRUE(Text(*pieces) == Text(*whole))
                    << EncodingName(target) << ", pieces of " << pieceUnits << ": " << Text(*pieces);
            }
        }
    }
}

TEST(PiecewiseConversionTest, ByteOrderMarkCountsInTheOffset)
{
    const std::string content = "\xEF\xBB\xBF<p>\xE4\xB8\xAD\xC0\x80";
    const Bytes bytes(content.begin(), content.end());
    TextOptions options;
    options.source = EncodingId::Gb;
    options.target = EncodingId::Big5;
    const Result<ByteBuffer> converted = ConvertFileBytes(bytes, options, {}, {}, nullptr, 1);
    EXPECT_TRUE(converted.status().message.ends_with("UTF-8 at offset 9")) << converted.status().message;
}

} // namespace
} // namespace veltran
