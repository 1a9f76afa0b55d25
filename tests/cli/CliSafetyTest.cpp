// Runs that must never lose an original: a second run over converted pages, links, oversized
// writes, and sites whose pages are in mixed encodings.
#include "../core/ChineseTextFixtures.h"
#include "ChildProcess.h"
#include "CliProcess.h"
#include "CliRun.h"
#include "DeepTree.h"
#include "TextCodecs.h"

#include <gtest/gtest.h>

#include <sstream>
#include <sys/resource.h>

namespace veltran::test {
namespace {

namespace fs = std::filesystem;

std::string Text(const veltran::Bytes& bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

const std::string kGbPage = "<p>" + Text(fixtures::kGbSentence) + "</p>\n";
const std::string kBig5Page = "<p>" + Text(fixtures::kBig5Sentence) + "</p>\n";
const std::string kUtf8Page = "<p>" + Text(fixtures::kUtf8SimplifiedSentence) + "</p>\n";

class CliSafetyTest : public ::testing::Test
{
protected:
    CliResult Run(const std::vector<std::string>& arguments) { return RunCliProcess(arguments, m_folder.path()); }
    void Write(const fs::path& relative, const std::string& bytes) { m_folder.Write(relative, bytes); }
    std::string Read(const fs::path& relative) const { return ReadBytes(m_folder.path() / relative); }

    ScratchFolder m_folder;
};

// The same command run twice (a second click, a retried script) refuses every page the second time,
// so the backups still hold the originals.
TEST_F(CliSafetyTest, SecondRunOverAConvertedSiteChangesNothing)
{
    for (const char* name : {"site/index.htm", "site/news/a.htm", "site/news/b.htm"})
        Write(name, kGbPage);
    ASSERT_EQ(Run({"--from", "gb", "--to", "big5", "site"}).status, 0);
    ASSERT_EQ(Read("site/index.htm"), kBig5Page);

    const CliResult again = Run({"--from", "gb", "--to", "big5", "site"});
    EXPECT_EQ(again.status, 1);
    EXPECT_EQ(again.out, "Converted 0 of 3 files, 3 failed.\n");
    EXPECT_NE(again.err.find("site/index.htm: looks like BIG5 already"), std::string::npos) << again.err;
    for (const char* name : {"site/index.htm", "site/news/a.htm", "site/news/b.htm"}) {
        EXPECT_EQ(Read(name), kBig5Page) << name;
        EXPECT_EQ(Read(std::string(name) + ".bak"), kGbPage) << name;
    }
}

// The scan never goes through a link to a file, so a link to a page outside the folder cannot make
// the run convert it; a link named on the command line is followed.
// The user has the last word: --trust-source converts what the check refuses, as the given source,
// and says so nowhere but in the result; a page that its backup converts to stays refused, since
// converting it again would lose the original in its backup.
TEST_F(CliSafetyTest, TrustSourceConvertsWhatTheCheckRefusesButKeepsOriginals)
{
    Write("site/big5.htm", kBig5Page);
    const CliResult refused = Run({"--from", "gb", "--to", "utf8", "--no-backup", "site"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("site/big5.htm: looks like BIG5, not GB: "), std::string::npos) << refused.err;
    EXPECT_NE(refused.err.find("1 file was refused by the encoding check; if they are GB, --trust-source converts "
                               "them regardless\n"),
              std::string::npos)
        << refused.err;
    EXPECT_EQ(Read("site/big5.htm"), kBig5Page);

    const CliResult trusted = Run({"--from", "gb", "--to", "utf8", "--no-backup", "--trust-source", "site"});
    EXPECT_EQ(trusted.status, 0) << trusted.err;
    // Read as GB, as told: UTF-8 now, not the BIG5 bytes; the characters are whatever GB makes of them.
    const std::string converted = Read("site/big5.htm");
    EXPECT_NE(converted, kBig5Page);
    EXPECT_TRUE(Utf8Decode(veltran::Bytes(converted.begin(), converted.end())).ok());

    Write("site/gb.htm", kGbPage);
    ASSERT_EQ(Run({"--from", "gb", "--to", "big5", "site/gb.htm"}).status, 0);
    const CliResult again = Run({"--from", "gb", "--to", "big5", "--trust-source", "site/gb.htm"});
    EXPECT_EQ(again.status, 1);
    EXPECT_NE(again.err.find("converted already: it is what converting gb.htm.bak gives"), std::string::npos)
        << again.err;
    EXPECT_EQ(Read("site/gb.htm.bak"), kGbPage);
}

TEST_F(CliSafetyTest, LinksAreFollowedOnlyWhenNamed)
{
    Write("site/index.htm", kGbPage);
    Write("elsewhere/private.htm", kGbPage);
    fs::create_symlink("../elsewhere/private.htm", m_folder.path() / "site/outside.htm");
    fs::create_symlink("index.htm", m_folder.path() / "site/same.htm");

    const CliResult scan = Run({"--from", "gb", "--to", "utf8", "site"});
    EXPECT_EQ(scan.status, 0) << scan.err;
    EXPECT_EQ(scan.out, "Converted 1 of 1 files.\n");
    EXPECT_EQ(Read("site/index.htm"), kUtf8Page);
    EXPECT_EQ(Read("elsewhere/private.htm"), kGbPage);

    const CliResult named = Run({"--from", "gb", "--to", "utf8", "site/outside.htm"});
    EXPECT_EQ(named.status, 0) << named.err;
    EXPECT_EQ(Read("elsewhere/private.htm"), kUtf8Page);
    EXPECT_TRUE(fs::is_symlink(m_folder.path() / "site/outside.htm"));
}

// With --from auto each page is read as what it plausibly is; a page that cannot be told, or one
// already in the target encoding, fails with the reason, and the summary counts the encodings.
TEST_F(CliSafetyTest, AutoReadsEachPageAsItsEncoding)
{
    Write("site/gb.htm", kGbPage);
    Write("site/big5.htm", kBig5Page);
    Write("site/big5-too.htm", kBig5Page);
    Write("site/utf8.htm", kUtf8Page);
    Write("site/ascii.htm", "<p>hello</p>\n");
    Write("site/short.htm", "<p>\xD6\xD0\xCE\xC4</p>\n"); // two characters: GB or BIG5?

    const CliResult result = Run({"--from", "auto", "--to", "utf8", "--log", "run.log", "site"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "Converted 4 of 6 files (read as GB 1, BIG5 2, ASCII only 1), 2 failed.\n");
    EXPECT_NE(result.err.find("site/utf8.htm: looks like UTF-8 already: 15 of 15 Chinese characters are common "
                              "characters\n"),
              std::string::npos)
        << result.err;
    EXPECT_NE(result.err.find("site/short.htm: cannot tell the encoding: too few Chinese characters"),
              std::string::npos)
        << result.err;
    EXPECT_EQ(Read("site/gb.htm"), kUtf8Page);
    EXPECT_EQ(Read("site/big5.htm"), "<p>" + Text(fixtures::kUtf8TraditionalSentence) + "</p>\n")
        << "BIG5 pages stay Traditional in UTF-8";
    EXPECT_EQ(Read("site/utf8.htm"), kUtf8Page);
    EXPECT_NE(ReadBytes(m_folder.path() / "run.log").find("执行操作：auto --> UTF-8"), std::string::npos);
}

// A write beyond the file-size limit is an ordinary failure of that file, not the end of the program.
TEST_F(CliSafetyTest, WriteBeyondTheFileSizeLimitFailsOnlyThatFile)
{
    std::string large;
    while (large.size() < 8192)
        large += kGbPage;
    Write("large.htm", large);
    Write("small.htm", kGbPage);
    const fs::path folder = m_folder.path();

    const ChildResult child = RunInChild([&folder] {
        const rlimit limit{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        std::ostringstream out;
        std::ostringstream err;
        const int status =
            RunCli({"--from", "gb", "--to", "utf8", (folder / "large.htm").string(), (folder / "small.htm").string()},
                   CliEnvironment{out, err});
        return std::pair(status, err.str());
    });
    ASSERT_TRUE(child.exited) << "the program was ended by a signal";
    EXPECT_EQ(child.status, 1);
    const std::string& err = child.text;
    EXPECT_NE(err.find("large.htm: write failed: File too large"), std::string::npos) << err;
    EXPECT_EQ(Read("large.htm"), large);
    EXPECT_EQ(Read("small.htm"), kUtf8Page);
}

// What a killed run or a person left is told by the next run, and nothing vanishes unsaid: a page
// whose backup is there alone is put back and converted, a file staged by a killed run is named (and
// --clean-staged removes it, only it), a page too deep to name fails with the reason where the
// scan stopped.
TEST_F(CliSafetyTest, NextRunTellsWhatAKilledRunLeftAndCleanStagedRemovesOnlyItsFiles)
{
    Write("site/lone.htm.bak", kGbPage);
    Write("site/news/.a.htm.veltran-Ab3dE9", "half a pa");
    Write("site/news/.a.htm.veltran-notmine", "someone's");
    const DeepTree deep(m_folder.path() / "site", 4450, "deep.htm", kGbPage);

    const CliResult run = Run({"--from", "gb", "--to", "utf8", "site"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "Converted 1 of 2 files, 1 failed.\n");
    EXPECT_NE(run.err.find("site/lone.htm: missing; put back from lone.htm.bak, which was there without it\n"),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("site/news/.a.htm.veltran-Ab3dE9: left by an interrupted run\n"), std::string::npos)
        << run.err;
    // The scan stops at the first folder too deep to name.
    EXPECT_NE(run.err.find("ddd: cannot open: File name too long\n"), std::string::npos) << run.err;
    EXPECT_EQ(Read("site/lone.htm"), kUtf8Page);
    EXPECT_EQ(Read("site/lone.htm.bak"), kGbPage);

    const CliResult clean = Run({"--clean-staged", "site"});
    EXPECT_EQ(clean.status, 0) << clean.err;
    EXPECT_EQ(clean.out, "removed site/news/.a.htm.veltran-Ab3dE9\n"
                         "Removed 1 of 1 files left by interrupted runs.\n");
    EXPECT_FALSE(fs::exists(m_folder.path() / "site/news/.a.htm.veltran-Ab3dE9"));
    EXPECT_EQ(Read("site/news/.a.htm.veltran-notmine"), "someone's");
    const CliResult quiet = Run({"--clean-staged", "--quiet", "site"});
    EXPECT_EQ(quiet.status, 0) << quiet.err;
    EXPECT_EQ(quiet.out, "");
}

} // namespace
} // namespace veltran::test
