#include "TextCodecs.h"

#include "CodePage.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

namespace veltran {
namespace {

// Walks of the complete double-byte range of a code page: lead bytes 81-FE, trail bytes 40-FE.
struct CodePageTable
{
    const char* name;
    EncodingId encoding;
    // Which pairs the code page assigns. GB assigns every pair whose trail is not 7F (126 leads times 190
    // trails, 23940 pairs): GBK fills the gaps of its symbol rows and the user-defined areas with private-use
    // characters. BIG5 takes trails 40-7E and A1-FE (126 times 157, 19782 pairs) and leaves only the 62 cells
    // of row A3 after A3BF empty, except A3E1, the euro sign: 19720 pairs.
    std::function<bool(int lead, int trail)> assigned;
    std::size_t assignedCount;
    // The user-defined areas and GB's unfilled symbol cells map in order onto one block of private-use
    // characters starting at U+E000. GB: 1894 user-defined cells (AAA1-AFFE, F8A1-FEFE, A140-A7A0) plus 255
    // unfilled cells, ending at U+E864. BIG5: 6217 user-defined cells (FA40-FEFE, 8E40-A0FE, 8140-8DFE,
    // C6A1-C8FE), ending at U+F848.
    char16_t lastPrivateUse;
    // Pairs that decode to a character that another pair also holds; encoding picks the other pair. BIG5 has
    // two Han characters of row A2 (A2CC, A2CE) and eight box-drawing characters held twice (A2A4-A2A7 and
    // F9FA-F9FD against the ETEN additions of row F9).
    std::size_t duplicatePairs;
};

struct PairDecoding
{
    Bytes pair;
    char16_t character;
};

std::vector<PairDecoding> DecodeEveryPair(const CodePageTable& table)
{
    std::vector<PairDecoding> decoded;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            const Bytes pair{static_cast<std::uint8_t>(lead), static_cast<std::uint8_t>(trail)};
            const DecodeResult result = Decode(table.encoding, pair);
            EXPECT_EQ(result.ok(), table.assigned(lead, trail)) << std::hex << lead << trail;
            if (!result.ok()) {
                EXPECT_TRUE(result.status().message.ends_with(" at offset 0")) << std::hex << lead << trail;
                continue;
            }
            EXPECT_EQ(result->size(), 1u) << std::hex << lead << trail;
            if (result->size() == 1)
                decoded.push_back({pair, (*result)[0]});
        }
    }
    return decoded;
}

class CodePageTableTest : public ::testing::TestWithParam<CodePageTable>
{
};

TEST_P(CodePageTableTest, AssignedPairsReencodeToThemselvesOrToTheirTwin)
{
    const CodePageTable& table = GetParam();
    const std::vector<PairDecoding> decoded = DecodeEveryPair(table);
    EXPECT_EQ(decoded.size(), table.assignedCount);

    std::size_t duplicates = 0;
    for (const PairDecoding& entry : decoded) {
        const Bytes reencoded = Encode(table.encoding, std::u16string(1, entry.character));
        if (reencoded == entry.pair)
            continue;
        // A pair that does not come back must be a second home of its character, never a loss.
        ++duplicates;
        const DecodeResult twin = Decode(table.encoding, reencoded);
        EXPECT_TRUE(reencoded.size() == 2 && twin.ok() && *twin == std::u16string(1, entry.character))
            << std::hex << int(entry.pair[0]) << int(entry.pair[1]);
    }
    EXPECT_EQ(duplicates, table.duplicatePairs);
}

TEST_P(CodePageTableTest, PrivateUseCharactersFormOneGaplessBlock)
{
    const CodePageTable& table = GetParam();
    std::set<char16_t> privateUse;
    for (const PairDecoding& entry : DecodeEveryPair(table)) {
        if (entry.character >= 0xE000 && entry.character <= 0xF8FF) {
            EXPECT_TRUE(privateUse.insert(entry.character).second) << "twice: " << std::hex << int(entry.character);
        }
    }
    ASSERT_FALSE(privateUse.empty());
    EXPECT_EQ(*privateUse.begin(), 0xE000);
    EXPECT_EQ(*privateUse.rbegin(), table.lastPrivateUse);
    EXPECT_EQ(privateUse.size(), std::size_t(table.lastPrivateUse - 0xE000 + 1));
}

TEST_P(CodePageTableTest, WholeTableDecodesAndEncodesInOnePiece)
{
    // Converting everything at once must agree with converting pair by pair, whatever precedes a pair.
    const CodePageTable& table = GetParam();
    Bytes bytes{'x'};
    std::u16string text{u'x'};
    for (const PairDecoding& entry : DecodeEveryPair(table)) {
        bytes.insert(bytes.end(), entry.pair.begin(), entry.pair.end());
        text.push_back(entry.character);
    }
    const DecodeResult decoded = Decode(table.encoding, bytes);
    ASSERT_TRUE(decoded.ok()) << decoded.status().message;
    EXPECT_TRUE(*decoded == text);
    EXPECT_EQ(Encode(table.encoding, text).size(), bytes.size());
}

TEST_P(CodePageTableTest, EveryEncodedCharacterDecodesBackToItself)
{
    // Characters the code page lacks become '?', never a look-alike that would decode differently.
    const CodePageTable& table = GetParam();
    std::size_t encoded = 0;
    for (char32_t c = 0x80; c <= 0xFFFF; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF)
            continue;
        const std::u16string text(1, static_cast<char16_t>(c));
        const Bytes bytes = Encode(table.encoding, text);
        if (bytes == Bytes{'?'})
            continue;
        ++encoded;
        const DecodeResult decoded = Decode(table.encoding, bytes);
        EXPECT_TRUE(decoded.ok() && *decoded == text) << std::hex << int(c);
    }
    // Each assigned pair holds one character except the twins; 0x80 and 0xFF add one character each.
    EXPECT_EQ(encoded, table.assignedCount - table.duplicatePairs + 2);
}

// The look-up tables against ICU's converter itself, set up the same way: every byte from 80 on,
// alone and followed by every byte, and every BMP unit, surrogates included.
TEST_P(CodePageTableTest, TablesGiveWhatIcuGives)
{
    const EncodingId encoding = GetParam().encoding;
    const CodePage::IcuConverter icu = CodePage::OpenIcuConverter(encoding);
    for (int first = 0x80; first <= 0xFF; ++first) {
        for (int second = -1; second <= 0xFF; ++second) {
            const Bytes bytes =
                second < 0 ? Bytes{std::uint8_t(first)} : Bytes{std::uint8_t(first), std::uint8_t(second)};
            ucnv_resetToUnicode(icu.get());
            UChar units[4];
            UChar* target = units;
            const char* source = reinterpret_cast<const char*>(bytes.data());
            UErrorCode status = U_ZERO_ERROR;
            ucnv_toUnicode(icu.get(), &target, units + 4, &source, source + bytes.size(), nullptr, true, &status);
            const DecodeResult ours = Decode(encoding, bytes);
            ASSERT_EQ(ours.ok(), U_SUCCESS(status)) << std::hex << first << " " << second;
            if (ours.ok()) {
                ASSERT_TRUE(*ours == std::u16string(units, target)) << std::hex << first << " " << second;
            }
        }
    }
    for (char32_t unit = 0x80; unit <= 0xFFFF; ++unit) {
        const UChar text[1] = {static_cast<UChar>(unit)};
        ucnv_resetFromUnicode(icu.get());
        char bytes[8];
        char* target = bytes;
        const UChar* source = text;
        UErrorCode status = U_ZERO_ERROR;
        ucnv_fromUnicode(icu.get(), &target, bytes + 8, &source, text + 1, nullptr, true, &status);
        ASSERT_TRUE(U_SUCCESS(status));
        ASSERT_EQ(Encode(encoding, std::u16string(1, static_cast<char16_t>(unit))), Bytes(bytes, target))
            << std::hex << int(unit);
    }
}

bool GbAssigned(int, int trail)
{
    return trail != 0x7F;
}

bool Big5Assigned(int lead, int trail)
{
    const bool trailInRange = (trail >= 0x40 && trail <= 0x7E) || (trail >= 0xA1 && trail <= 0xFE);
    const bool emptyCellOfRowA3 = lead == 0xA3 && trail >= 0xC0 && trail != 0xE1;
    return trailInRange && !emptyCellOfRowA3;
}

INSTANTIATE_TEST_SUITE_P(TextCodecs, CodePageTableTest,
                         ::testing::Values(CodePageTable{"Gb", EncodingId::Gb, GbAssigned, 126 * 190, 0xE864, 0},
                                           CodePageTable{"Big5", EncodingId::Big5, Big5Assigned, 126 * 157 - 62, 0xF848,
                                                         10}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------------------------
// Single bytes

struct SingleByteCase
{
    const char* name;
    EncodingId encoding;
    char16_t byte80;
    char16_t byteFF;
};

class SingleBytes : public ::testing::TestWithParam<SingleByteCase>
{
};

TEST_P(SingleBytes, AsciiIsItselfLeadBytesNeedATrail)
{
    const SingleByteCase& table = GetParam();
    for (int value = 0; value <= 0xFF; ++value) {
        const Bytes byte{static_cast<std::uint8_t>(value)};
        const DecodeResult decoded = Decode(table.encoding, byte);
        if (value >= 0x81 && value <= 0xFE) {
            EXPECT_FALSE(decoded.ok()) << std::hex << value;
            continue;
        }
        const char16_t expected = value < 0x80 ? char16_t(value) : value == 0x80 ? table.byte80 : table.byteFF;
        ASSERT_TRUE(decoded.ok()) << std::hex << value;
        EXPECT_EQ(*decoded, std::u16string(1, expected)) << std::hex << value;
        EXPECT_EQ(Encode(table.encoding, *decoded), byte) << std::hex << value;
    }
}

INSTANTIATE_TEST_SUITE_P(TextCodecs, SingleBytes,
                         ::testing::Values(SingleByteCase{"Gb", EncodingId::Gb, u'\u20AC', u'\uF8F5'},
                                           SingleByteCase{"Big5", EncodingId::Big5, u'\u0080', u'\uF8F8'}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace veltran
