#include "FileBytesConversion.h"
#include "TextCodecs.h"
#include "TextLayout.h"

#include <gtest/gtest.h>

namespace veltran {
namespace {

std::string AsText(const ByteBuffer& bytes)
{
    return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

struct LostCase
{
    const char* name;
    EncodingId source;
    EncodingId target;
    bool asReferences;
    bool pieces; // through ConvertFileBytes in small pieces rather than the whole text
    std::string input;
    std::size_t count;
    std::vector<char32_t> examples;
    std::string output;
};

class UnmappableTest : public ::testing::TestWithParam<LostCase>
{
};

// ⅰ (U+2170) is GB but not BIG5; 😀 is neither; 中 is both.
TEST_P(UnmappableTest, CountsWhatTheTargetLacksAndWritesItAsAsked)
{
    const LostCase& c = GetParam();
    TextOptions options;
    options.source = c.source;
    options.target = c.target;
    options.unmappableAsReferences = c.asReferences;
    ConversionNotes notes;
    const ByteView bytes(reinterpret_cast<const std::uint8_t*>(c.input.data()), c.input.size());
    const RuleTable noRules;
    const Result<ByteBuffer> out = c.pieces ? ConvertFileBytes(bytes, options, noRules, {true, false}, &notes, 2)
                                            : TextPipeline(options, c.source, &noRules, {true, false}, notes)
                                                  .ConvertWhole(*DecodeFileBytes(bytes, c.source));
    ASSERT_TRUE(out.ok()) << out.status().message;
    EXPECT_EQ(notes.unmappable.count, c.count);
    EXPECT_EQ(notes.unmappable.examples, c.examples);
    EXPECT_EQ(AsText(*out), c.output);
}

const std::string kGb = "\xA2\xA1\xD6\xD0\xA2\xA1"; // ⅰ中ⅰ
const std::string kUtf8 = "a\xF0\x9F\x98\x80\xE2\x85\xB0"
                          "b"; // a😀ⅰb

INSTANTIATE_TEST_SUITE_P(
    Cases, UnmappableTest,
    ::testing::Values(
        LostCase{
            "GbToBig5AsQuestionMarks", EncodingId::Gb, EncodingId::Big5, false, false, kGb, 2, {0x2170}, "?\xA4\xA4?"},
        LostCase{"GbToBig5AsReferences",
                 EncodingId::Gb,
                 EncodingId::Big5,
                 true,
                 false,
                 kGb,
                 2,
                 {0x2170},
                 "&#x2170;\xA4\xA4&#x2170;"},
        LostCase{
            "InPieces", EncodingId::Gb, EncodingId::Big5, true, true, kGb, 2, {0x2170}, "&#x2170;\xA4\xA4&#x2170;"},
        LostCase{"Utf8ToGbLosesTheEmojiOnly",
                 EncodingId::Utf8,
                 EncodingId::Gb,
                 false,
                 false,
                 kUtf8,
                 1,
                 {0x1F600},
                 "a?\xA2\xA1"
                 "b"},
        LostCase{"Utf8ToBig5ReferencesOutsideTheBmp",
                 EncodingId::Utf8,
                 EncodingId::Big5,
                 true,
                 true,
                 kUtf8,
                 2,
                 {0x1F600, 0x2170},
                 "a&#x1F600;&#x2170;b"},
        LostCase{"Utf8TargetLosesNothing",
                 EncodingId::Gb,
                 EncodingId::Utf8,
                 true,
                 false,
                 kGb,
                 0,
                 {},
                 "\xE2\x85\xB0\xE4\xB8\xAD\xE2\x85\xB0"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace veltran
