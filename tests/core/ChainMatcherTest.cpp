// The matcher on small made-up chains, checked against libopencc running the
// same chains: the cases pin down how segments, dictionary groups and later
// steps work together.

#include "ChainMatcher.h"
#include "ChainTablesBuilder.h"
#include "OpenccConverter.h"
#include "OpenccDictionaryReader.h"

#include <gtest/gtest.h>
#include <unicode/utf16.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace veltran {
namespace {

namespace fs = std::filesystem;

// A dictionary as the lines of OpenCC's text format: "key<TAB>candidate
// candidate...".
using TextDictionary = std::vector<std::string>;

struct Chain
{
    TextDictionary segmentation;
    std::vector<std::vector<TextDictionary>> steps;
};

// Writes the chain as an OpenCC configuration with text dictionaries and loads
// it both ways.
class ChainFixture
{
public:
    explicit ChainFixture(const Chain& chain)
    {
        m_dir = fs::temp_directory_path() /
                ("veltran_chain_" + std::to_string(::getpid()) + "_" + std::to_string(s_counter++));
        fs::create_directories(m_dir);
        std::string json = R"({"name":"test","segmentation":{"type":"mmseg","dict":)" +
                           WriteDictionary("seg.txt", chain.segmentation) + R"(},"conversion_chain":[)";
        for (std::size_t s = 0; s < chain.steps.size(); ++s) {
            json += (s == 0 ? "" : ",") + std::string(R"({"dict":{"type":"group","dicts":[)");
            for (std::size_t d = 0; d < chain.steps[s].size(); ++d) {
                json += (d == 0 ? "" : ",") +
                        WriteDictionary("s" + std::to_string(s) + "d" + std::to_string(d) + ".txt", chain.steps[s][d]);
            }
            json += "]}}";
        }
        json += "]}";
        const fs::path config = m_dir / "chain.json";
        std::ofstream(config) << json;
        m_reference = std::make_unique<OpenccConverter>(config.string());
        m_tables = ChainTablesBuilder::Build(OpenccDictionaryReader::FromFile(config.string()));
        m_matcher = std::make_unique<ChainMatcher>(m_tables);
    }

    ~ChainFixture() { fs::remove_all(m_dir); }

    std::u16string Ours(std::u16string_view text) const { return m_matcher->Convert(text); }
    std::u16string Reference(std::u16string_view text) const { return m_reference->Convert(text); }

    // The text cut before every unit that stands alone and around every character outside the BMP
    // that does, each piece mapped by itself.
    std::u16string OursInPieces(std::u16string_view text) const
    {
        const auto standingAloneAt = [&](std::size_t i) {
            return m_matcher->StartsWithSupplementaryStandingAlone(text.substr(i));
        };
        std::u16string out;
        std::size_t start = 0;
        for (std::size_t i = 1; i <= text.size(); ++i) {
            if (i == text.size() || (m_matcher->StandsAlone(text[i]) && !U16_IS_TRAIL(text[i])) || standingAloneAt(i) ||
                (i >= 2 && standingAloneAt(i - 2))) {
                m_matcher->Append(text.substr(start, i - start), out);
                start = i;
            }
        }
        return out;
    }

private:
    std::string WriteDictionary(const std::string& name, const TextDictionary& lines)
    {
        std::ofstream out(m_dir / name);
        for (const std::string& line : lines) {
            out << line << '\n';
        }
        return R"({"type":"text","file":")" + name + "\"}";
    }

    static inline int s_counter = 0;
    fs::path m_dir;
    std::unique_ptr<OpenccConverter> m_reference;
    std::vector<std::byte> m_tables;
    std::unique_ptr<ChainMatcher> m_matcher;
};

struct ChainCase
{
    const char* name;
    Chain chain;
    std::u16string input;
    std::u16string expected;
};

void PrintTo(const ChainCase& c, std::ostream* os)
{
    *os << c.name;
}

class ChainMatcherCaseTest : public ::testing::TestWithParam<ChainCase>
{
};

TEST_P(ChainMatcherCaseTest, MapsAsOpenccDoes)
{
    const ChainCase& c = GetParam();
    const ChainFixture fixture(c.chain);
    EXPECT_EQ(fixture.Reference(c.input), c.expected);
    EXPECT_EQ(fixture.Ours(c.input), c.expected);
    EXPECT_EQ(fixture.OursInPieces(c.input), c.expected);
}

const TextDictionary kUnusedSegmentation{"zz\tzz"};

INSTANTIATE_TEST_SUITE_P(
    Chains, ChainMatcherCaseTest,
    ::testing::Values(
        ChainCase{"FirstDictionaryOfAGroupWinsOverALongerKeyLater",
                  {kUnusedSegmentation, {{{"ab\tX"}, {"abc\tY", "d\tD"}}}},
                  u"abcd",
                  u"XcD"},
        ChainCase{"StepPhraseDoesNotReachIntoTheNextSegment", {{"ab\tab"}, {{{"q\tq"}}, {{"bc\tZ"}}}}, u"abc", u"abc"},
        ChainCase{"StepPhraseDoesNotReachIntoALaterSegment", {{"ab\tab"}, {{{"ca\tZ"}}}}, u"cab", u"cab"},
        ChainCase{"StepPhraseMatchesInsideTextWithoutSegmentationPhrases",
                  {{"ab\tab"}, {{{"q\tq"}}, {{"bc\tZ"}}}},
                  u"xbc",
                  u"xZ"},
        ChainCase{"LaterStepMatchesASegmentationPhraseMadeByAnEarlierStep",
                  {{"bb\tbb"}, {{{"a\tb"}}, {{"bb\tQ"}}}},
                  u"ab",
                  u"Q"},
        ChainCase{"PhraseOfUnitsThatStayChangesThemAsAWhole", {{"ab\tab"}, {{{"ab\tX"}}}}, u"xabyba", u"xXyba"},
        ChainCase{"FirstCandidateIsTaken", {kUnusedSegmentation, {{{"a\tb c"}}}}, u"aa", u"bb"},
        ChainCase{
            "SegmentationPhraseGoesThroughEveryStep", {{"ab\tab"}, {{{"ab\tcd"}}, {{"d\te", "cd\tF"}}}}, u"ab", u"F"},
        ChainCase{"LongestSegmentationPhraseIsTaken",
                  {{"ab\tab", "abc\tabc"}, {{{"abc\tX", "ab\tY", "c\tC"}}}},
                  u"abcabd",
                  u"XYd"},
        ChainCase{"CharactersOutsideTheBmpAreKeysLikeAnyOther",
                  {{"\xF0\xA0\xAE\xB7\xE4\xB8\xAD\tx"}, {{{"\xF0\xA0\xAE\xB7\xE4\xB8\xAD\tP", "\xE4\xB8\xAD\tQ"}}}},
                  u"\U00020BB7中中\U00020BB7",
                  u"PQ\U00020BB7"}),
    [](const auto& info) { return std::string(info.param.name); });

// Random small chains over a few symbols, so that keys overlap, run into each
// other and span segment boundaries in every way; each chain maps random texts
// exactly as libopencc does.
TEST(ChainMatcherRandomTest, RandomChainsMapRandomTextsAsOpenccDoes)
{
    const std::vector<std::string> symbols{"a", "b", "c", "\xE4\xB8\xAD", "\xF0\xA0\xAE\xB7"};
    // 𠮸 shares its high surrogate with 𠮷 but is in no key.
    const std::vector<std::u16string> textSymbols{u"a",
                                                  u"b",
                                                  u"c",
                                                  u"中",
                                                  u"\U00020BB7",
                                                  u"\U00020BB8",
                                                  u"x",
                                                  u"<p>",
                                                  std::u16string(1, u'\0'),
                                                  std::u16string(1, u'\xD840')};
    for (unsigned seed = 1; seed <= 60; ++seed) {
        std::mt19937 random(seed);
        auto word = [&](std::size_t maxLength) {
            std::string text;
            for (std::size_t n = 1 + random() % maxLength; n > 0; --n) {
                text += symbols[random() % symbols.size()];
            }
            return text;
        };
        // Keys are often shared between dictionaries, as the segmentation's keys are in real chains.
        std::vector<std::string> sharedKeys;
        auto dictionary = [&](std::size_t maxKeyLength) {
            std::set<std::string> keys;
            TextDictionary lines;
            for (std::size_t n = 1 + random() % 6; n > 0; --n) {
                const bool shared = !sharedKeys.empty() && random() % 2 == 0;
                const std::string key = shared ? sharedKeys[random() % sharedKeys.size()] : word(maxKeyLength);
                sharedKeys.push_back(key);
                if (keys.insert(key).second) {
                    lines.push_back(key + "\t" + word(3) + (random() % 3 == 0 ? " " + word(2) : ""));
                }
            }
            return lines;
        };
        Chain chain;
        chain.segmentation = dictionary(3);
        for (std::size_t s = 1 + random() % 3; s > 0; --s) {
            chain.steps.emplace_back();
            for (std::size_t d = 1 + random() % 2; d > 0; --d) {
                chain.steps.back().push_back(dictionary(3));
            }
        }
        const ChainFixture fixture(chain);
        for (int t = 0; t < 40; ++t) {
            std::u16string text;
            for (std::size_t n = random() % 16; n > 0; --n) {
                text += textSymbols[random() % textSymbols.size()];
            }
            ASSERT_EQ(fixture.Ours(text), fixture.Reference(text))
                << "seed " << seed << ", text " << ::testing::PrintToString(text);
            ASSERT_EQ(fixture.OursInPieces(text), fixture.Ours(text))
                << "seed " << seed << ", text " << ::testing::PrintToString(text);
        }
    }
}

TEST(ChainMatcherTest, DamagedTablesAreRefused)
{
    const std::vector<std::byte> tables = ChainTablesBuilder::Build({{{u"ab", u"x"}}, {{{{u"a", u"b"}}}}});
    EXPECT_NO_THROW(ChainMatcher{tables});
    EXPECT_THROW(ChainMatcher(std::span(tables).first(tables.size() - 8)), std::runtime_error);
    std::vector<std::byte> wrongMagic = tables;
    wrongMagic[0] = std::byte{'X'};
    EXPECT_THROW(ChainMatcher{wrongMagic}, std::runtime_error);
}

} // namespace
} // namespace veltran
