#include "RunUndo.h"

#include "QuietRunHost.h"
#include "RunReport.h"
#include "ScriptedFileCalls.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace veltran {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::Snapshot;
using test::TempDir;
using test::WriteFile;

const std::string kGbPage = "<p>\xD6\xD0\xCE\xC4</p>"; // 中文
const std::string kGbName = "\xD6\xD0.htm";            // a GB file name, not UTF-8

// Converts the pages in dir/site GB to UTF-8, given as `roots` (relative to dir, the working folder
// of the run), and writes the run's report to dir/run.json.
void RunWithReport(const TempDir& dir, const std::vector<std::string>& pages, bool keepBackup, bool dryRun = false,
                   BackupMode backups = BackupMode::Simple)
{
    fs::create_directories(dir / "site");
    RunRequest request;
    request.settings = MakeRunSettings(EncodingId::Gb, EncodingId::Utf8, keepBackup);
    request.settings.conversion.record.hashes = true;
    request.settings.conversion.disk.dryRun = dryRun;
    request.settings.conversion.disk.backupMode = backups;
    request.settings.keepRecords = true;
    const fs::path working = fs::current_path();
    fs::current_path(dir.Path());
    for (const std::string& page : pages) {
        WriteFile(dir / "site" / page, kGbPage + page);
        request.entries.push_back(fs::path("site") / page);
    }
    request.entries.push_back("site/missing.htm");
    request.roots = {"site/"};
    RuleTable rules;
    test::QuietRunHost host(false, false);
    const RunOutcome outcome = RunJob(request, rules, host.Roles());
    const Status written = WriteRunReport(dir / "run.json", request, outcome, "start", "end");
    fs::current_path(working);
    ASSERT_TRUE(written) << written.message;
}

std::string ReportText(const TempDir& dir)
{
    const std::vector<std::uint8_t> bytes = ReadFile(dir / "run.json");
    return {bytes.begin(), bytes.end()};
}

// Undo puts back every file a run converted, byte for byte, from any working folder (the report holds
// absolute paths); the name that is not UTF-8 survives the report's JSON; a second undo finds the
// originals in place and says so.
TEST(RunUndoTest, PutsBackTheWholeRunOnceAndThenSaysItIsUndone)
{
    TempDir dir;
    RunWithReport(dir, {"a.htm", kGbName}, true);

    const UndoOutcome undone = UndoRun(dir / "run.json");

    ASSERT_TRUE(undone.report) << undone.report.message;
    EXPECT_EQ(undone.restored, (std::vector<fs::path>{dir / "site/a.htm", dir / "site" / kGbName}));
    EXPECT_TRUE(undone.refused.empty());
    for (const std::string& page : {std::string("a.htm"), kGbName}) {
        EXPECT_EQ(ReadFile(dir / "site" / page), test::Bytes(kGbPage + page));
        EXPECT_FALSE(fs::exists(dir / "site" / (page + ".bak")));
    }
    const UndoOutcome again = UndoRun(dir / "run.json");
    EXPECT_TRUE(again.restored.empty());
    EXPECT_TRUE(again.refused.empty());
    EXPECT_EQ(again.alreadyUndone.size(), 2u);
}

// A run with numbered backups is put back from them; the older backups stay.
TEST(RunUndoTest, PutsBackARunThatNumberedItsBackups)
{
    TempDir dir;
    fs::create_directories(dir / "site");
    WriteFile(dir / "site/a.htm.bak.~1~", "an older original");
    RunWithReport(dir, {"a.htm"}, true, false, BackupMode::Numbered);
    ASSERT_TRUE(fs::exists(dir / "site/a.htm.bak.~2~"));

    const UndoOutcome undone = UndoRun(dir / "run.json");

    ASSERT_TRUE(undone.report) << undone.report.message;
    EXPECT_EQ(undone.restored, std::vector<fs::path>{dir / "site/a.htm"});
    EXPECT_EQ(ReadFile(dir / "site/a.htm"), test::Bytes(kGbPage + "a.htm"));
    EXPECT_EQ(ReadFile(dir / "site/a.htm.bak.~1~"), test::Bytes("an older original"));
}

// Any file that is not exactly what the run left refuses the undo of the whole run, which then
// touches nothing and lists every refusal.
TEST(RunUndoTest, OneFileThatCannotBePutBackStopsTheWholeUndo)
{
    struct Case
    {
        const char* name;
        std::function<void(const fs::path& site)> change;
        const char* reason;
    };
    const Case cases[] = {
        {"FileEdited", [](const fs::path& site) { WriteFile(site / "b.htm", "changed by hand"); },
         "changed since the run"},
        {"BackupEdited", [](const fs::path& site) { WriteFile(site / "b.htm.bak", "changed by hand"); },
         "its backup changed since the run"},
        {"BackupGone", [](const fs::path& site) { fs::remove(site / "b.htm.bak"); }, "its backup is missing"},
        {"BackupNowALink",
         [](const fs::path& site) {
             fs::rename(site / "b.htm.bak", site / "elsewhere");
             fs::create_symlink("elsewhere", site / "b.htm.bak");
         },
         "its backup is a symbolic link"},
        {"FileNowALink",
         [](const fs::path& site) {
             fs::rename(site / "b.htm", site / "elsewhere");
             fs::create_symlink("elsewhere", site / "b.htm");
         },
         "is a symbolic link"},
        {"FileNowAFifo",
         [](const fs::path& site) {
             fs::remove(site / "b.htm");
             ::mkfifo((site / "b.htm").c_str(), 0600);
         },
         "not a regular file"},
        {"FileNowAFolder",
         [](const fs::path& site) {
             fs::remove(site / "b.htm");
             fs::create_directory(site / "b.htm");
         },
         "is a folder"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        RunWithReport(dir, {"a.htm", "b.htm"}, true);
        c.change(dir / "site");
        const auto before = Snapshot(dir.Path());

        const UndoOutcome undone = UndoRun(dir / "run.json");

        ASSERT_TRUE(undone.report) << undone.report.message;
        EXPECT_TRUE(undone.touchedNothing);
        EXPECT_TRUE(undone.restored.empty());
        ASSERT_EQ(undone.refused.size(), 1u);
        EXPECT_EQ(undone.refused[0].path, dir / "site/b.htm");
        EXPECT_NE(undone.refused[0].reason.find(c.reason), std::string::npos) << undone.refused[0].reason;
        EXPECT_EQ(Snapshot(dir.Path()), before);
    }
}

// Between the check and its rename a file may change again: it is left as it is and listed, and a
// backup that cannot be renamed back is listed too; the others are put back.
TEST(RunUndoTest, AFileChangedOrLockedAfterTheCheckIsListedAndTheRestPutBack)
{
    TempDir dir;
    RunWithReport(dir, {"a.htm", "changing.htm", "locked.htm"}, true);
    const std::vector<std::uint8_t> convertedLocked = ReadFile(dir / "site/locked.htm");
    int lstats = 0;
    const test::ScriptedFileCalls calls([&](const std::string& call, const fs::path& path) {
        if (call == "lstat" && path.filename() == "changing.htm" && ++lstats == 1)
            WriteFile(path, "written meanwhile");
        return call == "rename" && path.filename() == "locked.htm" ? EACCES : 0;
    });

    const UndoOutcome undone = UndoRun(dir / "run.json", calls);

    EXPECT_EQ(undone.restored, std::vector<fs::path>{dir / "site/a.htm"});
    ASSERT_EQ(undone.refused.size(), 2u);
    EXPECT_EQ(undone.refused[0].reason, "changed while the undo ran");
    EXPECT_NE(undone.refused[1].reason.find("cannot put the backup back"), std::string::npos);
    EXPECT_EQ(ReadFile(dir / "site/changing.htm"), test::Bytes("written meanwhile"));
    EXPECT_EQ(ReadFile(dir / "site/locked.htm"), convertedLocked);
}

// A report that cannot be trusted, or gives nothing to put back, refuses the whole undo, and nothing
// changes: a report edited to name a file outside the run's folders, or another file's backup, or a
// path with "..", or hexadecimal that is not; a report that is a folder or a FIFO.
TEST(RunUndoTest, RefusesAReportItCannotTrust)
{
    struct Case
    {
        const char* name;
        bool keepBackup;
        bool dryRun;
        std::function<void(const TempDir& dir, std::string& report)> edit;
        std::string reason;
    };
    const auto replace = [](std::string& text, const std::string& from, const std::string& to) {
        text.replace(text.find(from), from.size(), to);
    };
    const Case cases[] = {
        {"NoBackups", false, false, {}, "the run kept no backups"},
        {"DryRun", true, true, {}, "the report is of a dry run"},
        {"NotJson", true, false, [](const TempDir&, std::string& r) { r = "converted a.htm"; }, "is not a run report"},
        {"OtherJson", true, false, [](const TempDir&, std::string& r) { r = "{\"entries\": []}"; },
         "is not a run report"},
        {"OutsideTheRun", true, false,
         [&](const TempDir& dir, std::string& r) {
             replace(r, "\"file\":\"" + (dir / "site/a.htm").string(), "\"file\":\"" + (dir / "victim.conf").string());
             replace(r, (dir / "site/a.htm.bak").string(), (dir / "victim.conf.bak").string());
         },
         "outside the folders and files the run was given"},
        {"ClimbsOut", true, false,
         [&](const TempDir& dir, std::string& r) {
             replace(r, "\"file\":\"" + (dir / "site/a.htm").string(),
                     "\"file\":\"" + (dir / "site/../victim.conf").string());
         },
         "is not a plain absolute path"},
        {"AnotherFilesBackup", true, false,
         [&](const TempDir& dir, std::string& r) {
             replace(r, (dir / "site/b.htm.bak").string(), (dir / "site/a.htm.bak").string());
         },
         "not the file's own .bak"},
        {"BadHexadecimal", true, false,
         [](const TempDir&, std::string& r) {
             r = "{\"settings\": {\"dryRun\": false, \"backup\": true}, \"roots\": [\"/\"], \"entries\": "
                 "[{\"outcome\": \"converted\", \"file\": \"a\", \"fileBytes\": \"zz\"}]}";
         },
         "not hexadecimal"},
        {"ReportIsAFolder", true, false,
         [](const TempDir& dir, std::string&) {
             fs::remove(dir / "run.json");
             fs::create_directory(dir / "run.json");
         },
         "is a folder"},
        {"ReportIsAFifo", true, false,
         [](const TempDir& dir, std::string&) {
             fs::remove(dir / "run.json");
             ::mkfifo((dir / "run.json").c_str(), 0600);
         },
         "not a regular file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        RunWithReport(dir, {"a.htm", "b.htm"}, c.keepBackup, c.dryRun);
        WriteFile(dir / "victim.conf", "setting");
        WriteFile(dir / "victim.conf.bak", "old setting");
        if (c.edit) {
            std::string report = ReportText(dir);
            c.edit(dir, report);
            if (fs::is_regular_file(dir / "run.json"))
                WriteFile(dir / "run.json", report);
        }
        const auto before = Snapshot(dir.Path());

        const UndoOutcome undone = UndoRun(dir / "run.json");

        EXPECT_FALSE(undone.report);
        EXPECT_NE(undone.report.message.find(c.reason), std::string::npos) << undone.report.message;
        EXPECT_EQ(Snapshot(dir.Path()), before);
    }
}

// The report is read through the seam, so a failing disk is told, not taken for an empty report.
TEST(RunUndoTest, AReportThatCannotBeReadIsTold)
{
    TempDir dir;
    RunWithReport(dir, {"a.htm"}, true);
    const test::ScriptedFileCalls calls(
        [](const std::string& call, const fs::path&) { return call == "read-at" ? EIO : 0; });
    const UndoOutcome undone = UndoRun(dir / "run.json", calls);
    EXPECT_NE(undone.report.message.find("Input/output error"), std::string::npos) << undone.report.message;
    EXPECT_TRUE(fs::exists(dir / "site/a.htm.bak"));
}

} // namespace
} // namespace veltran
