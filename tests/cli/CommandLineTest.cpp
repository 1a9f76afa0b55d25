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
        RefusedCase{"NoPath", {"--from", "gb", "--to", "utf8"}, "no file or folder"},
        RefusedCase{"UnknownEncoding", {"--from", "latin1", "--to", "utf8", "a"}, "not \"latin1\""},
        RefusedCase{"UnknownOption", {"--from", "gb", "--to", "utf8", "--backups", "a"}, "\"--backups\""},
        RefusedCase{"ValueMissingAtEnd", {"a", "--from", "gb", "--to"}, "--to needs a value"},
        RefusedCase{"EmptyValueAfterEquals", {"--from=", "--to", "gb", "a"}, "--from expects"},
        RefusedCase{"BomForGbTarget", {"--from", "utf8", "--to", "gb", "--bom", "a"}, "--bom"},
        RefusedCase{"EmptyFilter", {"--from", "gb", "--to", "utf8", "--filter", "", "a"}, "--filter"},
        RefusedCase{"TrustingAGuess", {"--from", "auto", "--to", "gb", "--trust-source", "a"}, "--trust-source needs"},
        RefusedCase{"NoJobs", {"--from", "gb", "--to", "utf8", "-j", "0", "a"}, "--jobs expects"},
        RefusedCase{"JobsNotANumber", {"--from", "gb", "--to", "utf8", "--jobs=4x", "a"}, "not \"4x\""},
        RefusedCase{"TooManyJobs", {"--from", "gb", "--to", "utf8", "--jobs", "257", "a"}, "from 1 to 256"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CommandLineTest, ReadsEveryOptionInBothSpellings)
{
    const Result<CommandLine> parse = ParseCommandLine(
        {"--from=BIG5", "a.htm", "--to", "utf-8", "--no-backup", "--bom", "--charset-header", "--rules=r.txt", "--log",
         "run.log", "-q", "--sync", "--filter", "*.txt;*.htm,*.xml", "dir", "--trust-source", "-j", "3"});
    ASSERT_TRUE(parse.ok()) << parse.status().message;
    const CommandLine& c = *parse;
    EXPECT_EQ(c.conversion.text.source, EncodingId::Big5);
    EXPECT_EQ(c.conversion.text.target, EncodingId::Utf8);
    EXPECT_FALSE(c.conversion.disk.keepBackup);
    EXPECT_TRUE(c.conversion.text.writeBom && c.charsetHeader && c.quiet && c.conversion.disk.sync);
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
    EXPECT_TRUE(parse->conversion.disk.keepBackup);
    EXPECT_FALSE(parse->conversion.text.writeBom || parse->conversion.disk.sync);
    EXPECT_FALSE(parse->rulesFile.has_value());
    EXPECT_EQ(parse->filter, "*.htm|*.html|*.js|*.asp|*.php|*.xml|*.aspx|*.txt");
    EXPECT_EQ(parse->jobs, std::min(DefaultJobs(), kMaxJobs));
}

TEST(CommandLineTest, ArgumentsAfterDoubleDashAreAlwaysPaths)
{
    const std::string notUtf8 = "\xB0\xA1.htm";
    const Result<CommandLine> parse = ParseCommandLine({"--from", "gb", "--to", "utf8", "-", "--", "--bom", notUtf8});
    ASSERT_TRUE(parse.ok()) << parse.status().message;
    EXPECT_FALSE(parse->conversion.text.writeBom);
    EXPECT_EQ(parse->paths, (std::vector<std::filesystem::path>{"-", "--bom", notUtf8}));
}

TEST(CommandLineTest, HelpNeedsNothingElse)
{
    const Result<CommandLine> parse = ParseCommandLine({"--help"});
    ASSERT_TRUE(parse.ok()) << parse.status().message;
    EXPECT_TRUE(parse->help);
    for (const char* option :
         {"--from", "--to", "--filter", "--no-backup", "--bom", "--rules", "--charset-header", "--log", "--quiet",
          "--version", "--sync", "--trust-source", "auto", "130", "143", "129"}) {
        EXPECT_NE(UsageText().find(option), std::string::npos) << option;
    }
}

} // namespace
} // namespace veltran
