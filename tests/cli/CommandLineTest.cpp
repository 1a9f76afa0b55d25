#include "CommandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace veltran {
namespace {

struct RefusedCase
{
    const char* name;
    std::vector<std::string> arguments;
    const char* errorPart;
};

class RefusedArgumentsTest : public ::testing::TestWithParam<RefusedCase>
{
};

TEST_P(RefusedArgumentsTest, ExplainsTheProblem)
{
    const Result<CommandLine> parse = ParseCommandLine(GetParam().arguments);
    ASSERT_FALSE(parse.ok());
    EXPECT_NE(parse.status().message.find(GetParam().errorPart), std::string::npos) << parse.status().message;
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, RefusedArgumentsTest,
    ::testing::Values(
        RefusedCase{"Nothing", {}, "--from and --to"},
        RefusedCase{"NoTarget", {"--from", "gb", "a.htm"}, "--from and --to"},
        RefusedCase{"UnknownEncodingListsTheKnown",
                    {"--from", "latin1", "--to", "utf8", "a"},
                    "not \"latin1\"; known: gb, gbk, gb2312, cp936, euc-cn"},
        RefusedCase{"Big5HkscsIsNotCodePage950", {"-f", "gb", "-t", "big5-hkscs", "a"}, "not \"big5-hkscs\""},
        RefusedCase{"UnknownOption", {"--from", "gb", "--to", "utf8", "--bogus", "a"}, "unknown option \"--bogus\""},
        RefusedCase{"UnknownLetter", {"-f", "gb", "-t", "utf8", "-qz", "a"}, "unknown option \"-z\""},
        RefusedCase{
            "AmbiguousAbbreviation", {"--f", "gb", "--to", "utf8", "a"}, "ambiguous: --from, --filter, --force"},
        RefusedCase{"ValueForAFlag", {"--bom=yes", "-f", "gb", "-t", "utf8", "a"}, "--bom takes no value"},
        RefusedCase{"ValueMissingAtEnd", {"a", "--from", "gb", "--to"}, "--to needs a value"},
        RefusedCase{"LetterValueMissingAtEnd", {"a", "-f", "gb", "-t"}, "-t needs a value"},
        RefusedCase{"EmptyValueAfterEquals", {"--from=", "--to", "gb", "a"}, "--from expects"},
        RefusedCase{"UnknownForms", {"-f", "gb", "-t", "utf8", "--chinese", "hk", "a"}, "--chinese expects"},
        RefusedCase{"BomForGbTarget", {"--from", "utf8", "--to", "gb", "--bom", "a"}, "--bom"},
        RefusedCase{"ReferencesAndDropping", {"-f", "utf8", "-t", "gb", "--references", "-c", "a"}, "exclude"},
        RefusedCase{"EmptyFilter", {"--from", "gb", "--to", "utf8", "--filter", "", "a"}, "--filter"},
        RefusedCase{"TrustingAGuess", {"--from", "auto", "--to", "gb", "--trust-source", "a"}, "--trust-source needs"},
        RefusedCase{"NoJobs", {"--from", "gb", "--to", "utf8", "-j", "0", "a"}, "--jobs expects"},
        RefusedCase{"JobsNotANumber", {"--from", "gb", "--to", "utf8", "--jobs=4x", "a"}, "not \"4x\""},
        RefusedCase{"TooManyJobs", {"--from", "gb", "--to", "utf8", "--jobs", "257", "a"}, "from 1 to 256"},
        RefusedCase{"OutputOfTwoFiles", {"-f", "gb", "-t", "utf8", "-o", "out", "a", "b"}, "-o takes one"},
        RefusedCase{"ReportOfAPipe", {"-f", "gb", "-t", "utf8", "--report", "r.json"}, "in place"},
        RefusedCase{"BackupOfAPipe", {"-f", "gb", "-t", "utf8", "--backup=numbered", "-o", "out", "a"}, "in place"},
        RefusedCase{"StandardInputAmongFiles", {"-f", "gb", "-t", "utf8", "a", "-"}, "alone"},
        RefusedCase{"DetectWithATarget", {"--detect", "-t", "utf8", "a"}, "--detect takes paths"},
        RefusedCase{"DetectOfNothing", {"--detect"}, "--detect needs"},
        RefusedCase{"UndoWithPaths", {"--undo", "r.json", "a"}, "--undo takes the report"},
        RefusedCase{"CleanStagedWithAConversion", {"--clean-staged", "--from", "gb", "site"}, "--clean-staged takes"},
        RefusedCase{"CleanStagedWithoutFolder", {"--clean-staged"}, "--clean-staged needs"}),
    [](const auto& info) { return std::string(info.param.name); });

struct CommandCase
{
    const char* name;
    std::vector<std::string> arguments;
    CliCommand command;
};

class CommandChoiceTest : public ::testing::TestWithParam<CommandCase>
{
};

TEST_P(CommandChoiceTest, PicksTheCommand)
{
    const Result<CommandLine> parse = ParseCommandLine(GetParam().arguments);
    ASSERT_TRUE(parse.ok()) << parse.status().message;
    EXPECT_EQ(parse->command, GetParam().command);
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, CommandChoiceTest,
    ::testing::Values(CommandCase{"HelpNeedsNothingElse", {"--help"}, CliCommand::Help},
                      CommandCase{"Version", {"-V"}, CliCommand::Version},
                      CommandCase{"List", {"--li"}, CliCommand::List},
                      CommandCase{"Undo", {"--undo", "run.json"}, CliCommand::Undo},
                      CommandCase{"Detect", {"--detect", "--filter", "*.htm", "site"}, CliCommand::Detect},
                      CommandCase{"NoPathIsAPipe", {"-f", "gb", "-t", "utf8"}, CliCommand::Stream},
                      CommandCase{"DashIsStandardInput", {"-f", "gb", "-t", "utf8", "-"}, CliCommand::Stream},
                      CommandCase{"OutputOfOneFile", {"-f", "gb", "-t", "utf8", "-o", "out", "a"}, CliCommand::Stream},
                      CommandCase{"PathsInPlace", {"-f", "gb", "-t", "utf8", "a", "b"}, CliCommand::Convert}),
    [](const auto& info) { return std::string(info.param.name); });

struct SpellingCase
{
    const char* name;
    std::string spelling;
    EncodingId encoding;
};

class EncodingSpellingTest : public ::testing::TestWithParam<SpellingCase>
{
};

TEST_P(EncodingSpellingTest, NamesTheEncoding)
{
    const Result<CommandLine> parse = ParseCommandLine({"-f", GetParam().spelling, "-t", GetParam().spelling, "a"});
    ASSERT_TRUE(parse.ok()) << parse.status().message;
    EXPECT_EQ(parse->conversion.text.source, GetParam().encoding);
    EXPECT_EQ(parse->conversion.text.target, GetParam().encoding);
}

INSTANTIATE_TEST_SUITE_P(
    Spellings, EncodingSpellingTest,
    ::testing::Values(SpellingCase{"Gbk", "GBK", EncodingId::Gb}, SpellingCase{"Gb2312", "gb2312", EncodingId::Gb},
                      SpellingCase{"Cp936", "CP936", EncodingId::Gb}, SpellingCase{"EucCn", "EUC-CN", EncodingId::Gb},
                      SpellingCase{"Cp950", "cp950", EncodingId::Big5}, SpellingCase{"Big5", "BIG5", EncodingId::Big5},
                      SpellingCase{"Utf8", "UTF8", EncodingId::Utf8},
                      SpellingCase{"Utf8Dash", "utf-8", EncodingId::Utf8},
                      SpellingCase{"Gb18030", "GB18030", EncodingId::Gb18030}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CommandLineTest, ReadsEveryOptionLongShortAbbreviatedAndGrouped)
{
    const Result<CommandLine> parse = ParseCommandLine(
        {"--fr=BIG5", "a.htm", "-tutf-8", "--no-b", "--bom", "--charset-header", "--rules=r.txt", "--log", "run.log",
         "-qvc", "--sync", "--filter", "*.txt;*.htm,*.xml", "dir", "--trust-source", "--chin", "keep", "-j", "3"});
    ASSERT_TRUE(parse.ok()) << parse.status().message;
    const CommandLine& c = *parse;
    EXPECT_EQ(c.command, CliCommand::Convert);
    EXPECT_EQ(c.conversion.text.source, EncodingId::Big5);
    EXPECT_EQ(c.conversion.text.target, EncodingId::Utf8);
    EXPECT_EQ(c.conversion.text.chinese, ChineseForms::Keep);
    EXPECT_FALSE(c.conversion.disk.keepBackup);
    EXPECT_TRUE(c.conversion.text.writeBom && c.charsetHeader && c.quiet && c.verbose && c.conversion.disk.sync);
    EXPECT_TRUE(c.conversion.text.dropUnmappable);
    EXPECT_EQ(c.conversion.text.sourceMode, SourceMode::Trusted);
    EXPECT_EQ(c.rulesFile, std::filesystem::path("r.txt"));
    EXPECT_EQ(c.logFile, std::filesystem::path("run.log"));
    EXPECT_EQ(c.filter, "*.txt|*.htm|*.xml");
    EXPECT_EQ(c.paths, (std::vector<std::filesystem::path>{"a.htm", "dir"}));
    EXPECT_EQ(c.jobs, 3u);
}

TEST(CommandLineTest, DefaultsKeepBackupsWithoutBomOrSyncAndUseTheDefaultFilter)
{
    const Result<CommandLine> parse = ParseCommandLine({"--from", "auto", "--to", "big5", "site"});
    ASSERT_TRUE(parse.ok()) << parse.status().message;
    EXPECT_EQ(parse->conversion.text.sourceMode, SourceMode::Guessed);
    EXPECT_EQ(parse->conversion.text.chinese, ChineseForms::Implied);
    EXPECT_TRUE(parse->conversion.disk.keepBackup);
    EXPECT_FALSE(parse->conversion.text.writeBom || parse->conversion.disk.sync);
    EXPECT_FALSE(parse->rulesFile.has_value());
    EXPECT_EQ(parse->filter, "*.htm|*.html|*.js|*.asp|*.php|*.xml|*.aspx|*.txt");
    EXPECT_EQ(parse->jobs, std::min(DefaultJobs(), kMaxJobs));
}

// A pipe or -o converts as --from says, without the encoding check and without a backup.
TEST(CommandLineTest, AStreamTrustsTheSourceAndKeepsNoBackup)
{
    const Result<CommandLine> parse = ParseCommandLine({"-f", "gb", "-t", "utf8", "-o", "-", "in.txt"});
    ASSERT_TRUE(parse.ok()) << parse.status().message;
    EXPECT_EQ(parse->conversion.text.sourceMode, SourceMode::Trusted);
    EXPECT_FALSE(parse->conversion.disk.keepBackup);
    EXPECT_EQ(parse->output, std::filesystem::path("-"));
}

TEST(CommandLineTest, ArgumentsAfterDoubleDashAreAlwaysPaths)
{
    const std::string notUtf8 = "\xB0\xA1.htm";
    const Result<CommandLine> parse = ParseCommandLine({"--from", "gb", "--to", "utf8", "a", "--", "--bom", notUtf8});
    ASSERT_TRUE(parse.ok()) << parse.status().message;
    EXPECT_FALSE(parse->conversion.text.writeBom);
    EXPECT_EQ(parse->paths, (std::vector<std::filesystem::path>{"a", "--bom", notUtf8}));
}

TEST(CommandLineTest, HelpNamesEveryOption)
{
    for (const char* option : {"--from",
                               "--to",
                               "--output",
                               "--list",
                               "--chinese",
                               "--filter",
                               "--no-backup",
                               "--backup",
                               "--bom",
                               "--rules",
                               "--charset-header",
                               "--log",
                               "--drop-unmappable",
                               "--detect",
                               "--verbose",
                               "--quiet",
                               "--version",
                               "--sync",
                               "--trust-source",
                               "auto",
                               "130",
                               "143",
                               "129"}) {
        EXPECT_NE(UsageText().find(option), std::string::npos) << option;
    }
}

} // namespace
} // namespace veltran
