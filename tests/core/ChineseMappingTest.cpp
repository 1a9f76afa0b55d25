#include "ChineseMapping.h"
#include "OpenccConverter.h"

#include <gtest/gtest.h>

#include <string>

namespace veltran {
namespace {

using Mapping = std::u16string (*)(std::u16string_view);

const OpenccConverter& ReferenceTraditional()
{
    static const OpenccConverter converter(std::string(kOpenccDataDir) + kS2twConfig);
    return converter;
}

const OpenccConverter& ReferenceSimplified()
{
    static const OpenccConverter converter(std::string(kOpenccDataDir) + kT2sConfig);
    return converter;
}

const OpenccConverter& ReferenceTaiwanSimplified()
{
    static const OpenccConverter converter(std::string(kOpenccDataDir) + kTw2sConfig);
    return converter;
}

struct KnownMapping
{
    const char* name;
    Mapping mapping;
    const OpenccConverter& (*reference)();
    std::u16string input;
    std::u16string expected;
    std::u16string openccGives = {}; // where OpenCC's own chain differs on purpose
};

void PrintTo(const KnownMapping& c, std::ostream* os)
{
    *os << c.name;
}

class ChineseMappingKnownTest : public ::testing::TestWithParam<KnownMapping>
{
};

TEST_P(ChineseMappingKnownTest, GivesTheDictionaryFormOrDiffersFromOpenccOnPurpose)
{
    const KnownMapping& c = GetParam();
    EXPECT_EQ(c.mapping(c.input), c.expected);
    EXPECT_EQ(c.reference().Convert(c.input), c.openccGives.empty() ? c.expected : c.openccGives);
}

// Expectations read off the dictionaries: STCharacters maps 简 and 体 and lists
// 發 before 髮 for 发, STPhrases holds 头发, TWVariants alone turns 着 into 著,
// TWVariantsRev turns it back, which only the Taiwan chain does.
//
// Where our chains differ from OpenCC's on purpose: the Simplified chain keeps
// the outputs of its phrases and characters as they are (t2s would change them
// again: 乾清宮 gives 乾清宫, which t2s turns into 干清宫), and the Taiwan chain does
// not turn characters Simplified text writes into forms it does not use.
INSTANTIATE_TEST_SUITE_P(
    Dictionaries, ChineseMappingKnownTest,
    ::testing::Values(
        KnownMapping{"CharactersOneByOne", &ToTraditional, &ReferenceTraditional, u"简体字", u"簡體字"},
        KnownMapping{"FirstCandidateOfACharacter", &ToTraditional, &ReferenceTraditional, u"发", u"發"},
        KnownMapping{"PhraseChoosesItsOwnForm", &ToTraditional, &ReferenceTraditional, u"头发", u"頭髮"},
        KnownMapping{"TaiwanVariantStep", &ToTraditional, &ReferenceTraditional, u"着", u"著"},
        KnownMapping{"TaiwanVariantBack", &TaiwanToSimplified, &ReferenceTaiwanSimplified, u"看著", u"看着"},
        KnownMapping{"TaiwanParticleInAPhrase", &TaiwanToSimplified, &ReferenceTaiwanSimplified, u"沒著落", u"没着落"},
        KnownMapping{"TaiwanPhraseKeepsItsForm", &TaiwanToSimplified, &ReferenceTaiwanSimplified, u"顯著的著作",
                     u"显著的著作"},
        KnownMapping{"TaiwanPhraseDecides", &TaiwanToSimplified, &ReferenceTaiwanSimplified, u"什麼", u"什么"},
        KnownMapping{"TaiwanKeepsYao", &TaiwanToSimplified, &ReferenceTaiwanSimplified, u"什么", u"什么", u"什幺"},
        KnownMapping{"TaiwanKeepsTai", &TaiwanToSimplified, &ReferenceTaiwanSimplified, u"抬頭", u"抬头", u"擡头"},
        KnownMapping{"PhraseToSimplified", &ToSimplified, &ReferenceSimplified, u"後面的頭髮", u"后面的头发"},
        KnownMapping{"SimplifiedTextStays", &ToSimplified, &ReferenceSimplified, u"为什么显著地抬头看着",
                     u"为什么显著地抬头看着"},
        KnownMapping{"TraditionalPhraseToItsOutput", &ToSimplified, &ReferenceSimplified, u"乾清宮", u"乾清宫"},
        KnownMapping{"PhraseOutputStays", &ToSimplified, &ReferenceSimplified, u"乾清宫", u"乾清宫", u"干清宫"},
        KnownMapping{"NameStays", &ToSimplified, &ReferenceSimplified, u"萧乾", u"萧乾", u"萧干"},
        KnownMapping{"CharacterOutputStays", &ToSimplified, &ReferenceSimplified, u"苧", u"苧", u"苎"},
        KnownMapping{"OutputAgainStays", &ToSimplified, &ReferenceSimplified, u"基於单元", u"基於单元", u"基于单元"}),
    [](const auto& info) { return std::string(info.param.name); });

struct UntouchedText
{
    const char* name;
    std::u16string text;
};

void PrintTo(const UntouchedText& c, std::ostream* os)
{
    *os << c.name;
}

class ChineseMappingUntouchedTest : public ::testing::TestWithParam<UntouchedText>
{
};

TEST_P(ChineseMappingUntouchedTest, BothDirectionsLeaveItAsItIs)
{
    EXPECT_EQ(ToTraditional(GetParam().text), GetParam().text);
    EXPECT_EQ(ToSimplified(GetParam().text), GetParam().text);
    EXPECT_EQ(TaiwanToSimplified(GetParam().text), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Texts, ChineseMappingUntouchedTest,
                         ::testing::Values(UntouchedText{"Empty", u""},
                                           UntouchedText{"Markup", u"<html><head><meta "
                                                                   u"charset=\"gb2312\"></head>\r\n<p>Hi &amp; 42</p>"},
                                           UntouchedText{"Emoji", u"\U0001F600 ok \U0001F680"},
                                           UntouchedText{"UnpairedSurrogates",
                                                         std::u16string{u'\xDC00', u'a', u'\xD800'}},
                                           UntouchedText{"SharedCharacters", u"中文字"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ChineseMappingTest, TextAfterNulIsMappedToo)
{
    const std::u16string text = std::u16string(u"简体") + u'\0' + u"头发";
    const std::u16string expected = std::u16string(u"簡體") + u'\0' + u"頭髮";
    EXPECT_EQ(ToTraditional(text), expected);
    EXPECT_EQ(ToSimplified(expected), text);
}

TEST(ChineseMappingTest, UnpairedSurrogatesStayInPlaceAndEndPhrases)
{
    // A surrogate inside a phrase cuts it: each half maps as if it stood alone.
    const std::u16string text = std::u16string(u"头") + u'\xD800' + u"发" + u'\xDC00' + u"\U00020BB7";
    const std::u16string expected = ToTraditional(u"头") + u'\xD800' + ToTraditional(u"发") + u'\xDC00' + u"\U00020BB7";
    EXPECT_EQ(ToTraditional(text), expected);
    EXPECT_EQ(ToTraditional(text), ReferenceTraditional().Convert(text));
}

TEST(ChineseMappingTest, DictionariesThatCannotBeLoadedAreReported)
{
    EXPECT_THROW(OpenccConverter("/nonexistent/s2tw.json"), std::runtime_error);
}

} // namespace
} // namespace veltran
