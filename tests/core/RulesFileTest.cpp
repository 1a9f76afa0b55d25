#include "RulesFile.h"

#include "CharsetHeader.h"
#include "ChildProcess.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace veltran {
namespace {

TEST(RulesFileTest, ReadsTheThreeKindsWithEscapesSkippingCommentsAndBlankLines)
{
    const std::string text = "\xEF\xBB\xBF# site rules\r\n"
                             "\r\n"
                             "replace\tgb2312\tutf-8\r\n"
                             "insert\t<!-- 头 -->\\r\\n\n"
                             " \t \n"
                             "append\t\\n\\tend \\\\ done\n"
                             "replace\t\\t\t";
    RuleTable rules;
    const Result<int> result = ParseRules(text, 2, rules);
    ASSERT_TRUE(result.ok()) << result.status().message;
    EXPECT_EQ(*result, 4);
    EXPECT_EQ(rules.Rule(1).kind, RuleKind::NotMade);
    EXPECT_EQ(rules.Rule(2).kind, RuleKind::Replace);
    EXPECT_EQ(rules.Rule(2).oldText, u"gb2312");
    EXPECT_EQ(rules.Rule(2).newText, u"utf-8");
    EXPECT_EQ(rules.Rule(3).kind, RuleKind::InsertAtHead);
    EXPECT_EQ(rules.Rule(3).oldText, kInsertPlaceholder);
    EXPECT_EQ(rules.Rule(3).newText, u"<!-- 头 -->\r\n");
    EXPECT_EQ(rules.Rule(4).kind, RuleKind::AppendAtTail);
    EXPECT_EQ(rules.Rule(4).newText, u"\n\tend \\ done");
    EXPECT_EQ(rules.Rule(5).oldText, u"\t");
    EXPECT_EQ(rules.Rule(5).newText, u"");
}

struct BadRulesCase
{
    const char* name;
    std::string text;
    int firstRule;
    const char* errorStart;
};

class BadRulesTest : public ::testing::TestWithParam<BadRulesCase>
{
};

TEST_P(BadRulesTest, NamesTheLine)
{
    RuleTable rules;
    const Result<int> result = ParseRules(GetParam().text, GetParam().firstRule, rules);
    EXPECT_EQ(result.status().message.rfind(GetParam().errorStart, 0), 0u) << result.status().message;
}

std::string Rules(int count)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += "replace\ta" + std::to_string(i) + "\tb\n";
    return text;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, BadRulesTest,
    ::testing::Values(BadRulesCase{"UnknownKind", "# x\nremove\tx\n", 1, "line 2: unknown rule kind \"remove\""},
                      BadRulesCase{"KindInCapitals", "Replace\ta\tb\n", 1, "line 1: unknown rule kind"},
                      BadRulesCase{"SpacesInsteadOfTab", "insert    x\n", 1, "line 1: unknown rule kind"},
                      BadRulesCase{"ReplaceWithOneText", "replace\ta\n", 1, "line 1: a replace rule needs two"},
                      BadRulesCase{"InsertWithTwoTexts", "\ninsert\ta\tb\n", 1, "line 2: insert needs one"},
                      BadRulesCase{"EmptyOldText", "replace\t\tb\n", 1, "line 1: the old text"},
                      BadRulesCase{"EmptyAppend", "append\t\n", 1, "line 1: the text to append is empty"},
                      BadRulesCase{"UnknownEscape", "replace\ta\\qb\tc\n", 1, "line 1: unknown escape \\q"},
                      BadRulesCase{"TrailingBackslash", "append\tx\\\n", 1, "line 1: a backslash ends"},
                      BadRulesCase{"InvalidUtf8", "append\t\xD6\xD0\n", 1, "line 1: the text is not valid UTF-8"},
                      BadRulesCase{"TenRules", Rules(10), 1, "line 10: more than 9 rules"},
                      BadRulesCase{"NineAfterTheCharsetRule", "#\n" + Rules(9), 2, "line 10: more than 8 rules"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RulesFileTest, NineRulesFillTheTable)
{
    RuleTable rules;
    const Result<int> result = ParseRules(Rules(9), 1, rules);
    ASSERT_TRUE(result.ok()) << result.status().message;
    EXPECT_EQ(rules.Rule(1).oldText, u"a0");
    EXPECT_EQ(rules.Rule(9).oldText, u"a8");
}

TEST(RulesFileTest, UnreadableFileSaysWhy)
{
    RuleTable rules;
    const std::filesystem::path missing = std::filesystem::temp_directory_path() / "veltran-no-such-rules.txt";
    EXPECT_EQ(LoadRulesFile(missing, 1, rules).status().code, StatusCode::NotFound);
    EXPECT_EQ(LoadRulesFile(std::filesystem::temp_directory_path(), 1, rules).status().code, StatusCode::Folder);
}

// A rules file is a few lines of text: a larger file, or one that is not a regular file (a FIFO would
// block the program for ever), is refused before it is read. The FIFO is read in a child process
// that an alarm ends should the read block.
TEST(RulesFileTest, LargeOrSpecialFilesAreRefused)
{
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("veltran-rules-" + std::to_string(::getpid()));
    std::filesystem::create_directory(folder);
    const std::filesystem::path large = folder / "large.rules";
    std::ofstream(large) << std::string(2 * 1024 * 1024, '#') << "\n";
    const std::filesystem::path fifo = folder / "fifo.rules";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // A writer that never writes: a reader without O_NONBLOCK would wait for ever.
    const int writer = ::open(fifo.c_str(), O_RDWR);

    for (const auto& [path, reason] :
         {std::pair{large, "is larger than 1048576 bytes"}, std::pair{fifo, "is not a regular file"}}) {
        SCOPED_TRACE(path.filename().string());
        const test::ChildResult child = test::RunInChild([&path] {
            ::alarm(10);
            RuleTable rules;
            return std::pair(0, LoadRulesFile(path, 1, rules).status().message);
        });
        EXPECT_TRUE(child.exited) << "reading the rules file blocked";
        const std::string& message = child.text;
        EXPECT_NE(message.find(reason), std::string::npos) << message;
    }
    ::close(writer);
    std::filesystem::remove_all(folder);
}

TEST(RulesFileTest, SavedRulesReadBackAsTheRulesThatAct)
{
    RuleTable rules;
    rules.Rule(2) = {RuleKind::Replace, u"tab\there", u"new\r\nline \\ 中文"};
    rules.Rule(3) = {RuleKind::Replace, u"", u"inactive"};
    rules.Rule(4) = {RuleKind::InsertAtHead, kInsertPlaceholder, u"<%@ CODEPAGE=936 %>\r\n"};
    rules.Rule(5) = {RuleKind::AppendAtTail, kInsertPlaceholder, u""};
    rules.Rule(6) = {RuleKind::Replace, u"gone", u""};
    rules.Rule(7) = {static_cast<RuleKind>(5), u"x", u"y"};

    RuleTable readBack;
    const Result<int> count = ParseRules(FormatRules(rules), 1, readBack);
    ASSERT_TRUE(count.ok()) << count.status().message;
    ASSERT_EQ(*count, 3);
    EXPECT_EQ(readBack.Rule(1).oldText, rules.Rule(2).oldText);
    EXPECT_EQ(readBack.Rule(1).newText, rules.Rule(2).newText);
    EXPECT_EQ(readBack.Rule(2).kind, RuleKind::InsertAtHead);
    EXPECT_EQ(readBack.Rule(2).newText, rules.Rule(4).newText);
    EXPECT_EQ(readBack.Rule(3).oldText, u"gone");
    EXPECT_EQ(readBack.Rule(3).newText, u"");
}

} // namespace
} // namespace veltran
