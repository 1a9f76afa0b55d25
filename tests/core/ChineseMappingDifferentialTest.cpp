// Our mapping against libopencc running the same chains over large texts made
// of every entry of the installed dictionaries, alone and in random mixtures
// with markup, ASCII, emoji, characters outside the BMP, NUL and unpaired
// surrogates. The outputs must be identical. The Simplified and Taiwan chains
// are compared with libopencc running t2s and tw2s made ours the same way
// (phrase outputs kept, characters kept), from dictionaries written out as
// text; where they differ from OpenCC's own chains is ChineseMappingTest's.

#include "ChineseMapper.h"
#include "ChineseMapping.h"
#include "KeptCharacters.h"
#include "MappingTablesFile.h"
#include "OpenccConverter.h"
#include "OpenccDictionaryReader.h"
#include "PhraseOutputs.h"
#include "TempDir.h"

#include <unicode/unistr.h>

#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace veltran {
namespace {

// Keys and values of every dictionary of both chains, so that each direction
// also meets the text it would get from the other one.
const std::vector<std::u16string>& DictionaryPieces()
{
    static const std::vector<std::u16string> pieces = [] {
        std::vector<std::u16string> all;
        for (const char* config : {kS2twConfig, kT2sConfig, kTw2sConfig}) {
            const ChainDictionaries chain = OpenccDictionaryReader::FromFile(std::string(kOpenccDataDir) + config);
            std::vector<const Dictionary*> dictionaries{&chain.segmentation};
            for (const DictionaryGroup& group : chain.steps) {
                for (const Dictionary& dictionary : group) {
                    dictionaries.push_back(&dictionary);
                }
            }
            for (const Dictionary* dictionary : dictionaries) {
                for (const DictionaryEntry& entry : *dictionary) {
                    all.push_back(entry.key);
                    all.push_back(entry.value);
                }
            }
        }
        return all;
    }();
    return pieces;
}

const std::vector<std::u16string> kOtherPieces{u"<a href=\"index.asp?id=3\">",
                                               u"</a>",
                                               u" ",
                                               u"\r\n",
                                               u"abc",
                                               u"、",
                                               u"。",
                                               u"\U0001F600",
                                               u"\U00020BB7",
                                               u"A",
                                               std::u16string(1, u'\0'),
                                               std::u16string(1, u'\xD83D'),
                                               std::u16string(1, u'\xDE00')};

std::string Utf8(const std::u16string& text)
{
    std::string out;
    icu::UnicodeString(false, text.data(), static_cast<int32_t>(text.size())).toUTF8String(out);
    return out;
}

// An OpenCC configuration in `folder` that runs the chain from text dictionaries.
std::string WriteConfig(const ChainDictionaries& chain, const std::filesystem::path& folder)
{
    int written = 0;
    auto writeDictionary = [&](const Dictionary& dictionary) {
        const std::string name = "dictionary" + std::to_string(written++) + ".txt";
        std::ofstream out(folder / name, std::ios::binary);
        for (const DictionaryEntry& entry : dictionary)
            out << Utf8(entry.key) << '\t' << Utf8(entry.value) << '\n';
        return R"({"type": "text", "file": ")" + (folder / name).string() + R"("})";
    };
    std::string json = R"({"name": "kept", "segmentation": {"type": "mmseg", "dict": )" +
                       writeDictionary(chain.segmentation) + R"(}, "conversion_chain": [)";
    for (std::size_t step = 0; step < chain.steps.size(); ++step) {
        json += step == 0 ? R"({"dict": {"type": "group", "dicts": [)" : R"(, {"dict": {"type": "group", "dicts": [)";
        for (std::size_t d = 0; d < chain.steps[step].size(); ++d)
            json += (d == 0 ? "" : ", ") + writeDictionary(chain.steps[step][d]);
        json += "]}}";
    }
    json += "]}";
    const std::filesystem::path config = folder / "kept.json";
    std::ofstream(config) << json;
    return config.string();
}

const OpenccConverter& ReferenceOf(const char* config)
{
    static const OpenccConverter traditional(std::string(kOpenccDataDir) + kS2twConfig);
    static const test::TempDir folder;
    static const OpenccConverter simplified = [] {
        ChainDictionaries chain = OpenccDictionaryReader::FromFile(std::string(kOpenccDataDir) + kT2sConfig);
        KeepPhraseOutputs(chain);
        std::filesystem::create_directory(folder / "t2s");
        return OpenccConverter(WriteConfig(chain, folder / "t2s"));
    }();
    static const OpenccConverter taiwan = [] {
        ChainDictionaries chain = OpenccDictionaryReader::FromFile(std::string(kOpenccDataDir) + kTw2sConfig);
        KeepCharacters(chain, kKeptByTaiwanChain);
        std::filesystem::create_directory(folder / "tw2s");
        return OpenccConverter(WriteConfig(chain, folder / "tw2s"));
    }();
    const std::string_view name = config;
    return name == kS2twConfig ? traditional : name == kT2sConfig ? simplified : taiwan;
}

struct Direction
{
    const char* name;
    std::u16string (*mapping)(std::u16string_view);
    const char* config;
};

const Direction kDirections[] = {{"ToTraditional", &ToTraditional, kS2twConfig},
                                 {"ToSimplified", &ToSimplified, kT2sConfig},
                                 {"TaiwanToSimplified", &TaiwanToSimplified, kTw2sConfig}};

void ExpectSameAsOpencc(const Direction& direction, const std::u16string& text)
{
    const std::u16string ours = direction.mapping(text);
    const OpenccConverter& reference = ReferenceOf(direction.config);
    std::u16string expected = reference.Convert(text);
    // The Simplified mapping runs again over its output until that settles.
    for (std::u16string again; direction.mapping == &ToSimplified && (again = reference.Convert(expected)) != expected;)
        expected = std::move(again);
    if (ours == expected) {
        return;
    }
    std::size_t at = 0;
    while (at < ours.size() && at < expected.size() && ours[at] == expected[at]) {
        ++at;
    }
    const std::size_t from = at > 20 ? at - 20 : 0;
    ADD_FAILURE() << direction.name << " differs from OpenCC at output unit " << at << " of " << expected.size()
                  << "; ours continues with " << ::testing::PrintToString(ours.substr(from, 40)) << ", OpenCC with "
                  << ::testing::PrintToString(expected.substr(from, 40));
}

void PrintTo(const Direction& d, std::ostream* os)
{
    *os << d.name;
}

class ChineseMappingDifferentialTest : public ::testing::TestWithParam<Direction>
{
};

TEST_P(ChineseMappingDifferentialTest, EveryDictionaryEntryAloneMapsAsOpenccMapsIt)
{
    std::u16string text;
    std::size_t separator = 0;
    for (const std::u16string& piece : DictionaryPieces()) {
        text += piece;
        text += kOtherPieces[separator++ % 6]; // markup, spaces and punctuation only
    }
    ExpectSameAsOpencc(GetParam(), text);
}

TEST_P(ChineseMappingDifferentialTest, RandomMixturesMapAsOpenccMapsThem)
{
    const std::vector<std::u16string>& pieces = DictionaryPieces();
    for (const unsigned seed : {1u, 2u, 3u}) {
        std::mt19937 random(seed);
        std::u16string text;
        for (int i = 0; i < 40000; ++i) {
            const std::u16string& piece =
                random() % 8 == 0 ? kOtherPieces[random() % kOtherPieces.size()] : pieces[random() % pieces.size()];
            // Single characters taken out of entries make the segmentation start at
            // other places.
            if (random() % 4 == 0 && piece.size() > 1) {
                text += piece.substr(random() % piece.size(), 1);
            } else {
                text += piece;
            }
        }
        SCOPED_TRACE("seed " + std::to_string(seed));
        ExpectSameAsOpencc(GetParam(), text);
    }
}

// Text the Simplified chain wrote comes out as it went in when mapped again, however the text around
// its phrases cuts it.
// Text of dictionary pieces, some cut at random, so that phrases run into each other; every
// `rareEvery`th piece is one of `rare`.
std::u16string PieceMixture(unsigned seed, const std::vector<std::u16string>& rare = {}, int rareEvery = 0)
{
    const std::vector<std::u16string>& pieces = DictionaryPieces();
    std::mt19937 random(seed);
    std::u16string text;
    for (int i = 0; i < 40000; ++i) {
        const bool fromRare = rareEvery > 0 && i % rareEvery == 0;
        const std::u16string& piece = fromRare ? rare[random() % rare.size()] : pieces[random() % pieces.size()];
        text += random() % 3 == 0 && piece.size() > 1 ? piece.substr(random() % piece.size()) : piece;
    }
    return text;
}

void ExpectSameText(const std::u16string& expected, const std::u16string& actual, unsigned seed)
{
    std::size_t at = 0;
    while (at < expected.size() && at < actual.size() && expected[at] == actual[at])
        ++at;
    EXPECT_TRUE(at == expected.size() && at == actual.size())
        << "seed " << seed << ": " << ::testing::PrintToString(expected.substr(at > 10 ? at - 10 : 0, 20))
        << " became " << ::testing::PrintToString(actual.substr(at > 10 ? at - 10 : 0, 20));
}

TEST(ChineseMappingPropertyTest, SimplifiedMappingTwiceGivesTheSameAsOnce)
{
    for (const unsigned seed : {4u, 5u, 6u, 7u}) {
        const std::u16string once = ToSimplified(PieceMixture(seed));
        ExpectSameText(once, ToSimplified(once), seed);
    }
}

// The mapping settles piece by piece what it wrote, cut where a unit no key holds stands: the same as
// mapping the whole text again until it stays as it is. The texts mix in text whose output the chain
// changes again, so that there is something to settle.
TEST(ChineseMappingPropertyTest, SimplifiedMappingSettlesAsTheWholeTextWould)
{
    const Result<const MappingTablesFile*> tables = LoadMappingTables();
    ASSERT_TRUE(tables) << tables.status().message;
    const ChineseMapper onePass((*tables)->Chain(MappingChainId::Simplified), false);
    // Each is mapped once to text the chain changes again (伤亡枕藉甚 to 伤亡枕借甚).
    const std::vector<std::u16string> unsettled{u"傷亡枕藉甚", u"巡迴覆蓋", u"瀋船板", u"出醜狼藉以往鑑來", u"北迴覆被"};
    for (const unsigned seed : {8u, 9u}) {
        const std::u16string text = PieceMixture(seed, unsettled, 50);
        const std::u16string once = onePass.Convert(text);
        std::u16string settled = once;
        for (int pass = 1; pass < 4; ++pass) {
            std::u16string again = onePass.Convert(settled);
            if (again == settled)
                break;
            settled = std::move(again);
        }
        ASSERT_TRUE(settled != once) << "seed " << seed << ": nothing to settle";
        ExpectSameText(settled, ToSimplified(text), seed);
    }
}

INSTANTIATE_TEST_SUITE_P(Chains, ChineseMappingDifferentialTest, ::testing::ValuesIn(kDirections),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace veltran
