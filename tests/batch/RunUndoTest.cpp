#include "RunUndo.h"

#include "QuietRunHost.h"
#include "RunReport.h"
#include "ScriptedFileCalls.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace veltran {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

const std::string kGbPage = "<p>\xD6\xD0\xCE\xC4</p>"; // 中文
const std::string kGbName = "\xD6\xD0.htm";            // a GB file name, not UTF-8

// Converts the pages GB to UTF-8 and writes the run's report to run.json.
void RunWithReport(const TempDir& dir, const std::vector<std::string>& pages, bool keepBackup, bool dryRun = false)
{
    RunRequest request;
    request.settings = MakeRunSettings(EncodingId::Gb, EncodingId::Utf8, keepBackup);
    request.settings.record = true;
    request.settings.dryRun = dryRun;
    request.keepRecords = true;
    for (const std::string& page : pages) {
        WriteFile(dir / page, kGbPage + page);
        request.entries.push_back(dir / page);
    }
    request.entries.push_back(dir / "missing.htm");
    RuleTable rules;
    test::QuietRunHost host(false, false);
    const RunOutcome outcome = RunJob(request, rules, host.Roles());
    ASSERT_TRUE(WriteRunReport(dir / "run.json", request, outcome, "start", "end"));
}

// Undo puts back every file the run converted, byte for byte, but one edited since the run, one whose
// backup changed, one whose backup cannot be renamed back, and one whose backup the report was edited
// to name otherwise; the name that is not UTF-8 survives the report's JSON.
TEST(RunUndoTest, PutsBackEveryFileThatHoldsWhatTheRunWrote)
{
    TempDir dir;
    RunWithReport(dir, {"a.htm", kGbName, "edited.htm", "bak-edited.htm", "locked.htm", "tampered.htm"}, true);
    WriteFile(dir / "edited.htm", "changed by hand");
    WriteFile(dir / "bak-edited.htm.bak", "changed by hand");
    // A report edited to move another file over this one.
    std::vector<std::uint8_t> report = ReadFile(dir / "run.json");
    std::string text(report.begin(), report.end());
    text.replace(text.find("tampered.htm.bak\""), 17, "a.htm.bak\"");
    WriteFile(dir / "run.json", text);
    const std::vector<std::uint8_t> convertedLocked = ReadFile(dir / "locked.htm");

    const test::ScriptedFileCalls calls([](const std::string& call, const fs::path& path) {
        return call == "rename" && path.filename() == "locked.htm" ? EACCES : 0;
    });
    const UndoOutcome undone = UndoRun(dir / "run.json", calls);

    ASSERT_TRUE(undone.report) << undone.report.message;
    EXPECT_EQ(undone.restored, (std::vector<fs::path>{dir / "a.htm", dir / kGbName}));
    for (const std::string& page : {std::string("a.htm"), kGbName}) {
        EXPECT_EQ(ReadFile(dir / page), test::Bytes(kGbPage + page));
        EXPECT_FALSE(fs::exists(dir / (page + ".bak")));
    }
    ASSERT_EQ(undone.refused.size(), 4u);
    EXPECT_EQ(undone.refused[0].path, dir / "edited.htm");
    EXPECT_EQ(undone.refused[0].reason, "changed since the run");
    EXPECT_EQ(undone.refused[1].path, dir / "bak-edited.htm");
    EXPECT_EQ(undone.refused[1].reason, "its backup is missing or changed since the run");
    EXPECT_EQ(undone.refused[2].path, dir / "locked.htm");
    EXPECT_NE(undone.refused[2].reason.find("cannot put the backup back"), std::string::npos);
    EXPECT_EQ(undone.refused[3].path, dir / "tampered.htm");
    EXPECT_EQ(undone.refused[3].reason, "the report names a backup other than its .bak");
    EXPECT_EQ(ReadFile(dir / "edited.htm"), test::Bytes("changed by hand"));
    EXPECT_EQ(ReadFile(dir / "locked.htm"), convertedLocked);
    EXPECT_EQ(ReadFile(dir / "locked.htm.bak"), test::Bytes(kGbPage + "locked.htm"));
}

// A report that gives nothing to put back refuses the whole undo, and nothing changes.
TEST(RunUndoTest, RefusesAReportWithNothingToPutBack)
{
    struct Case
    {
        const char* name;
        bool keepBackup;
        bool dryRun;
        std::string reportText; // written over the report when not empty
        std::string reason;
    };
    for (const Case& c : {Case{"NoBackups", false, false, "", "the run kept no backups"},
                          Case{"DryRun", true, true, "", "the report is of a dry run"},
                          Case{"NotJson", true, false, "converted a.htm", "is not a run report"},
                          Case{"OtherJson", true, false, "{\"entries\": []}", "is not a run report"},
                          Case{"BadHexadecimal", true, false,
                               "{\"settings\": {\"dryRun\": false, \"backup\": true}, \"entries\": [{\"outcome\": "
                               "\"converted\", \"file\": \"a\", \"fileBytes\": \"zz\"}]}",
                               "is not a run report"}}) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        RunWithReport(dir, {"a.htm"}, c.keepBackup, c.dryRun);
        if (!c.reportText.empty())
            WriteFile(dir / "run.json", c.reportText);
        const std::vector<std::uint8_t> before = ReadFile(dir / "a.htm");

        const UndoOutcome undone = UndoRun(dir / "run.json");
        EXPECT_FALSE(undone.report);
        EXPECT_NE(undone.report.message.find(c.reason), std::string::npos) << undone.report.message;
        EXPECT_TRUE(undone.restored.empty());
        EXPECT_EQ(ReadFile(dir / "a.htm"), before);
    }
    const UndoOutcome missing = UndoRun("/nonexistent/run.json");
    EXPECT_NE(missing.report.message.find("cannot read"), std::string::npos);
}

} // namespace
} // namespace veltran
