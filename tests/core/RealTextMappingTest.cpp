// The mapping on real pages that Debian packages (manual pages and the reference manual, Simplified
// and Traditional): a conversion changes no character of text that is already what the target
// wants, the Simplified mapping gives the same when run twice, and the Taiwan chain differs from
// OpenCC's tw2s only where it keeps a Simplified character.

#include "ChineseMapping.h"
#include "DebianChineseText.h"
#include "FileBytesConversion.h"
#include "KeptCharacters.h"
#include "OpenccConverter.h"
#include "TextCodecs.h"

#include <gtest/gtest.h>

#include <string>

namespace veltran {
namespace {

using test::ChineseText;
using test::RealPage;

const std::vector<RealPage>& Pages(ChineseText which)
{
    static const std::vector<RealPage> simplified = test::DebianPages(ChineseText::Simplified);
    static const std::vector<RealPage> traditional = test::DebianPages(ChineseText::Traditional);
    return which == ChineseText::Simplified ? simplified : traditional;
}

#define REQUIRE_PAGES(which)                                                                                           \
    if (Pages(which).empty()) {                                                                                        \
        if (test::RealTextRequired())                                                                                  \
            FAIL() << "Debian's Chinese manual pages are not installed";                                               \
        GTEST_SKIP() << "Debian's Chinese manual pages are not installed";                                             \
    }

// Counts the units that differ, and tells the first few with their page.
class Differences
{
public:
    void Compare(const std::string& page, std::u16string_view expected, std::u16string_view actual)
    {
        if (expected.size() != actual.size()) {
            ++m_count;
            Tell(page + ": the length changed");
            return;
        }
        for (std::size_t i = 0; i < expected.size(); ++i) {
            if (expected[i] != actual[i]) {
                ++m_count;
                Tell(page + " at unit " + std::to_string(i));
            }
        }
    }
    std::size_t Count() const { return m_count; }
    const std::string& Examples() const { return m_examples; }

private:
    void Tell(const std::string& where)
    {
        if (m_count <= 5)
            m_examples += "\n  " + where;
    }

    std::size_t m_count = 0;
    std::string m_examples;
};

struct Road
{
    const char* name;
    ChineseText text;
    EncodingId source;
    EncodingId target;
};

void PrintTo(const Road& r, std::ostream* os)
{
    *os << r.name;
}

class RealTextUnchangedTest : public ::testing::TestWithParam<Road>
{
};

// The text a page holds in the source encoding is what the conversion writes, as far as the target
// holds it: GB and BIG5 lack a few characters (no-break spaces, ©), which become question marks.
TEST_P(RealTextUnchangedTest, ConversionChangesNoCharacter)
{
    const Road& road = GetParam();
    REQUIRE_PAGES(road.text);
    TextOptions options;
    options.source = road.source;
    options.target = road.target;
    Differences differences;
    for (const RealPage& page : Pages(road.text)) {
        const Bytes bytes = Encode(road.source, page.text);
        const Result<ByteBuffer> converted = ConvertFileBytes(bytes, options, RuleTable());
        ASSERT_TRUE(converted.ok()) << page.name << ": " << converted.status().message;
        const std::u16string read = *Decode(road.source, bytes);
        differences.Compare(page.name, *Decode(road.target, Encode(road.target, read)),
                            *Decode(road.target, *converted));
    }
    EXPECT_EQ(differences.Count(), 0u) << differences.Examples();
}

INSTANTIATE_TEST_SUITE_P(
    Pages, RealTextUnchangedTest,
    ::testing::Values(Road{"SimplifiedGbToUtf8", ChineseText::Simplified, EncodingId::Gb, EncodingId::Utf8},
                      Road{"SimplifiedUtf8ToUtf8", ChineseText::Simplified, EncodingId::Utf8, EncodingId::Utf8},
                      Road{"SimplifiedUtf8ToGb", ChineseText::Simplified, EncodingId::Utf8, EncodingId::Gb},
                      Road{"TraditionalBig5ToUtf8", ChineseText::Traditional, EncodingId::Big5, EncodingId::Utf8}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RealTextMappingTest, SimplifiedMappingTwiceGivesTheSameAsOnce)
{
    REQUIRE_PAGES(ChineseText::Traditional);
    Differences differences;
    for (const ChineseText which : {ChineseText::Traditional, ChineseText::Simplified}) {
        for (const RealPage& page : Pages(which)) {
            const std::u16string once = ToSimplified(page.text);
            differences.Compare(page.name, once, ToSimplified(once));
        }
    }
    EXPECT_EQ(differences.Count(), 0u) << differences.Examples();
}

TEST(RealTextMappingTest, TaiwanChainDiffersFromOpenccOnlyAtKeptCharacters)
{
    REQUIRE_PAGES(ChineseText::Traditional);
    const OpenccConverter tw2s(std::string(kOpenccDataDir) + kTw2sConfig);
    std::size_t kept = 0;
    Differences others;
    for (const RealPage& page : Pages(ChineseText::Traditional)) {
        const std::u16string ours = TaiwanToSimplified(page.text);
        std::u16string theirs = tw2s.Convert(page.text);
        ASSERT_EQ(ours.size(), theirs.size()) << page.name;
        for (std::size_t i = 0; i < ours.size(); ++i) {
            if (ours[i] != theirs[i] && ours[i] == page.text[i] &&
                kKeptByTaiwanChain.find(ours[i]) != std::u16string::npos) {
                ++kept;
                theirs[i] = ours[i];
            }
        }
        others.Compare(page.name, theirs, ours);
    }
    EXPECT_EQ(others.Count(), 0u) << others.Examples();
    RecordProperty("KeptCharacters", std::to_string(kept));
}

} // namespace
} // namespace veltran
