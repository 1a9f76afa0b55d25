#include "FindFiles.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace veltran {
namespace {

struct MatchCase
{
    const char* label;
    std::string name;
    std::string pattern;
    bool matches;
};

void PrintTo(const MatchCase& match, std::ostream* out)
{
    *out << match.label;
}

class MatchesPatternTest : public ::testing::TestWithParam<MatchCase>
{
};

TEST_P(MatchesPatternTest, DecidesWholeNameMatch)
{
    const MatchCase& c = GetParam();
    EXPECT_EQ(MatchesPattern(c.name, c.pattern), c.matches)
        << "name \"" << c.name << "\" pattern \"" << c.pattern << "\"";
}

const MatchCase kCases[] = {
    // Letter case and the dot.
    {"UpperPatternFindsLowerName", "index.htm", "*.HTM", true},
    {"LowerPatternFindsMixedCaseName", "INDEX.Htm", "*.htm", true},
    {"HtmDoesNotFindHtml", "index.html", "*.htm", false},
    {"StarDotStarNeedsADot", "README", "*.*", false},
    {"StarDotStarFindsDottedName", "a.b", "*.*", true},
    {"DotIsOrdinaryCharacter", "indexhhtm", "index.htm", false},
    {"AccentedLettersIgnoreCase", "\xC3\xA9t\xC3\xA9.TXT", "\xC3\x89T\xC3\x89.*", true},
    // Anchoring.
    {"PatternMustCoverNameStart", "xindex.htm", "index.htm", false},
    {"PatternMustCoverNameEnd", "index.htmx", "index.htm", false},
    {"StarMatchesEmptyRun", ".htm", "*.htm", true},
    {"LoneStarMatchesAnything", "any name.txt", "*", true},
    {"EmptyPatternMatchesNoName", "a", "", false},
    {"StarsBacktrackToLaterOccurrence", "abcabd", "*abd", true},
    {"InnerStarBacktracks", "abXcYcd", "ab*cd", true},
    {"SeveralStarsInOrder", "xaxbxc", "*a*b*c", true},
    {"SeveralStarsOutOfOrder", "xcxbxa", "*a*b*c", false},
    {"ManyStarsWithoutMatchFinish", std::string(80, 'a'), "*a*a*a*a*a*a*a*a*a*a*a*a*b", false},
    // One character, one digit.
    {"QuestionTakesOneCharacter", "ab", "a?", true},
    {"QuestionNeedsACharacter", "a", "a?", false},
    {"QuestionTakesOnlyOne", "abc", "a?", false},
    {"QuestionTakesOneChineseCharacter", "\xE6\x96\x87.txt", "?.txt", true},
    {"HashTakesDigit", "page7.htm", "page#.htm", true},
    {"HashRefusesLetter", "pagex.htm", "page#.htm", false},
    {"HashTakesOneDigitOnly", "page10.htm", "page#.htm", false},
    {"HashRefusesFullWidthDigit", "page\xEF\xBC\x97.htm", "page#.htm", false},
    // Sets.
    {"SetTakesMember", "b.htm", "[abc].htm", true},
    {"SetRefusesNonMember", "d.htm", "[abc].htm", false},
    {"RangeTakesInside", "m.txt", "[a-z].txt", true},
    {"RangeRefusesOutside", "5.txt", "[a-z].txt", false},
    {"DigitRange", "log3", "log[2-4]", true},
    {"ChineseRangeByCode", "\xE4\xB8\xAD.htm", "[\xE4\xB8\x80-\xE9\xBE\xA5].htm", true},
    {"NegatedSetTakesNonMember", "d.htm", "[!abc].htm", true},
    {"NegatedSetRefusesMember", "a.htm", "[!abc].htm", false},
    {"NegatedRangeRefusesInside", "q", "[!a-z]", false},
    {"LeadingHyphenIsLiteral", "-.txt", "[-a].txt", true},
    {"TrailingHyphenIsLiteral", "-.txt", "[a-].txt", true},
    {"WildcardsInSetAreLiteral", "*.txt", "[*?#].txt", true},
    {"LaterExclamationIsLiteral", "!", "[a!]", true},
    {"ReversedRangeHoldsNothing", "m", "[z-a]", false},
    {"EmptySetMatchesNothing", "a", "[]", false},
    {"NegatedEmptySetTakesAnyOne", "a", "[!]", true},
    {"UnclosedBracketIsLiteral", "a[b", "a[b", true},
    {"UnclosedBracketIsNotASet", "ab", "a[b", false},
    // Chinese names, spaces, bytes that are not UTF-8.
    {"ChineseNameWithUpperExtension", "\xE6\x96\x87\xE4\xBB\xB6.HTM", "*.htm", true},
    {"ChinesePrefix", "\xE6\x96\x87\xE4\xBB\xB6.htm", "\xE6\x96\x87*", true},
    {"ChineseWrongPrefix", "\xE6\x96\x87\xE4\xBB\xB6.htm", "\xE4\xBB\xB6*", false},
    {"LeadingSpaceInPatternNeedsSpaceInName", "a.txt", " *.txt", false},
    {"LeadingSpaceInPatternFindsSpacedName", " a.txt", " *.txt", true},
    {"InvalidByteCountsAsOneCharacter", "\xFF.txt", "?.txt", true},
    {"InvalidByteMatchedByStar", "caf\xE9.txt", "*.txt", true},
    {"InvalidByteIsReplacementCharacter", "\xFF", "\xEF\xBF\xBD", true},
};

INSTANTIATE_TEST_SUITE_P(Rules, MatchesPatternTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<MatchCase>& info) { return std::string(info.param.label); });

struct FilterCase
{
    const char* label;
    const char* typed;
    const char* normalized;
};

void PrintTo(const FilterCase& filter, std::ostream* out)
{
    *out << filter.label;
}

class NormalizeFilterTest : public ::testing::TestWithParam<FilterCase>
{
};

TEST_P(NormalizeFilterTest, TurnsSeparatorsIntoBars)
{
    EXPECT_EQ(NormalizeFilter(GetParam().typed), GetParam().normalized);
}

const FilterCase kFilters[] = {
    {"SemicolonAndComma", "*.txt;*.htm,*.xml", "*.txt|*.htm|*.xml"},
    {"SpacesAreKept", "*.htm; *.txt", "*.htm| *.txt"},
    {"EmptyPiecesAreKept", ";,*.htm|", "||*.htm|"},
};

INSTANTIATE_TEST_SUITE_P(Typed, NormalizeFilterTest, ::testing::ValuesIn(kFilters),
                         [](const ::testing::TestParamInfo<FilterCase>& info) {
                             return std::string(info.param.label);
                         });

} // namespace
} // namespace veltran
