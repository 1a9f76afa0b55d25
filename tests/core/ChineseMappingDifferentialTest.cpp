// Our mapping against libopencc running the same chains over large texts made
// of every entry of the installed dictionaries, alone and in random mixtures
// with markup, ASCII, emoji, characters outside the BMP, NUL and unpaired
// surrogates. The outputs must be identical.

#include "ChineseMapping.h"
#include "OpenccConverter.h"
#include "OpenccDictionaryReader.h"

#include <gtest/gtest.h>

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
        for (const char* config : {kS2twConfig, kTw2sConfig}) {
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

struct Direction
{
    const char* name;
    std::u16string (*mapping)(std::u16string_view);
    const char* config;
};

const Direction kDirections[] = {{"ToTraditional", &ToTraditional, kS2twConfig},
                                 {"ToSimplified", &ToSimplified, kTw2sConfig}};

void ExpectSameAsOpencc(const Direction& direction, const std::u16string& text)
{
    static const OpenccConverter traditional(std::string(kOpenccDataDir) + kS2twConfig);
    static const OpenccConverter simplified(std::string(kOpenccDataDir) + kTw2sConfig);
    const OpenccConverter& reference = direction.mapping == &ToTraditional ? traditional : simplified;
    const std::u16string ours = direction.mapping(text);
    const std::u16string expected = reference.Convert(text);
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

INSTANTIATE_TEST_SUITE_P(Chains, ChineseMappingDifferentialTest, ::testing::ValuesIn(kDirections),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace veltran
