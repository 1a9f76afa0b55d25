#include "CliProcess.h"
#include "ExpandPaths.h"
#include "QuietRunHost.h"
#include "RulesFile.h"
#include "RunJob.h"

#include <gtest/gtest.h>

#include <map>
#include <regex>

namespace veltran::test {
namespace {

namespace fs = std::filesystem;

// Every file under the folder by its relative path, with date-time texts (in the charset header and
// the log, and the report's ISO 8601 times) and the folder's own path masked, so that two runs can be
// compared even when a second ticks between them.
std::map<std::string, std::string> Contents(const fs::path& folder)
{
    static const std::regex dateTime("[0-9]{4}/[0-9]{1,2}/[0-9]{1,2} [0-9]{1,2}:[0-9]{2}:[0-9]{2}|"
                                     "[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2}[+-][0-9]{2}:[0-9]{2}");
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (!entry.is_regular_file())
            continue;
        std::string bytes = std::regex_replace(ReadBytes(entry.path()), dateTime, "T");
        for (std::size_t at; (at = bytes.find(folder.string())) != std::string::npos;)
            bytes.replace(at, folder.string().size(), "<folder>");
        files[fs::relative(entry.path(), folder).string()] = bytes;
    }
    return files;
}

// The window and the command line run the same job: on the same tree, with the same settings and
// rules, they leave the same files, backups and log lines.
TEST(RunJobParityTest, CommandLineAndAHostOfTheJobLeaveTheSameTree)
{
    ScratchFolder job;
    ScratchFolder cli;
    for (const ScratchFolder* copy : {&job, &cli}) {
        fs::copy(VELTRAN_SAMPLES_DIR, copy->path() / "site", fs::copy_options::recursive);
        copy->Write("site/broken.htm", "<p>\x81\x20</p>");
        copy->Write("rules.txt", "replace\tcharset=gb2312\tcharset=big5\n");
    }

    RuleTable rules;
    ASSERT_EQ(*LoadRulesFile(job.path() / "rules.txt", 2, rules), 1);
    RunRequest request;
    request.settings = MakeRunSettings(EncodingId::Gb, EncodingId::Big5, true);
    request.entries = ExpandPaths({job.path() / "site"}, "*.htm|*.asp|*.js|*.txt");
    request.makeCharsetRule = true;
    request.logPath = job.path() / "run.log";
    QuietRunHost host(true, false);
    const RunOutcome outcome = RunJob(request, rules, host.Roles());
    ASSERT_EQ(outcome.failures.size(), 1u);

    const CliResult result =
        RunCliProcess({"--quiet", "--from", "gb", "--to", "big5", "--charset-header", "--rules", "rules.txt",
                       "--filter", "*.htm|*.asp|*.js|*.txt", "--log", "run.log", (cli.path() / "site").string()},
                      cli.path());
    EXPECT_EQ(result.status, 1) << result.err;
    EXPECT_EQ(Contents(job.path()), Contents(cli.path()));
}

// Several jobs change nothing anyone can see: on the same tree (pages reached twice by overlapping
// folders and links, a page that fails) one job and eight leave the same files, backups, log and
// report, to the byte but for their times.
TEST(RunJobParityTest, OneJobAndEightLeaveTheSameTreeLogAndReport)
{
    ScratchFolder one;
    ScratchFolder eight;
    for (const ScratchFolder* copy : {&one, &eight}) {
        for (int i = 0; i < 12; ++i) {
            fs::create_directories(copy->path() / "site");
            fs::copy(VELTRAN_SAMPLES_DIR, copy->path() / "site" / ("part" + std::to_string(i)),
                     fs::copy_options::recursive);
        }
        copy->Write("site/broken.htm", "<p>\x81\x20</p>");
        fs::create_symlink("part3/index.htm", copy->path() / "site" / "link.htm");
        fs::create_hard_link(copy->path() / "site/part5/index.htm", copy->path() / "site/hard.htm");
    }
    for (const auto& [folder, jobs] : {std::pair{&one, "1"}, {&eight, "8"}}) {
        const CliResult result =
            RunCliProcess({"--quiet", "--from", "gb", "--to", "big5", "-j", jobs, "--log", "run.log", "--report",
                           "run.json", "site/part2", "site", "site/link.htm"},
                          folder->path());
        EXPECT_EQ(result.status, 1) << result.err;
    }
    EXPECT_EQ(Contents(one.path()), Contents(eight.path()));
}

} // namespace
} // namespace veltran::test
