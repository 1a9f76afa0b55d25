#include "RunJob.h"

#include "ExpandPaths.h"
#include "QuietRunHost.h"
#include "ScriptedFileCalls.h"
#include "TempDir.h"
#include "WithoutRoot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <new>

namespace veltran {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

const std::string kGbPage = "<p>\xD6\xD0\xCE\xC4</p>"; // 中文
const std::string kUtf8Page = "<p>\xE4\xB8\xAD\xE6\x96\x87</p>";
// Too short to tell GB from BIG5, so only the run can keep it from being converted twice.
const std::string kBig5Page = "<p>\xA4\xA4\xA4\xE5</p>";

RunRequest GbToUtf8(PathList entries, std::optional<fs::path> logPath)
{
    RunRequest request;
    request.settings = MakeRunSettings(EncodingId::Gb, EncodingId::Utf8, false);
    request.entries = std::move(entries);
    request.logPath = std::move(logPath);
    return request;
}

TEST(RunJobTest, FolderTheScanCouldNotReadIsAFailedEntry)
{
    TempDir dir;
    WriteFile(dir / "a.htm", kGbPage);
    fs::create_directory(dir / "locked");
    WriteFile(dir / "locked" / "b.htm", kGbPage);
    fs::permissions(dir / "locked", fs::perms::none);

    const std::optional<std::string> log = test::RunWithoutRoot([&] {
        test::QuietRunHost host(false, false);
        RuleTable rules;
        return RunJob(GbToUtf8(ExpandPaths({dir.Path()}, "*.htm"), std::nullopt), rules, host.Roles()).log;
    });
    if (!log)
        GTEST_SKIP() << "cannot run without root rights here";
    EXPECT_NE(log->find("处理失败：" + (dir / "locked").string() + "\r\n"), std::string::npos) << *log;
}

// Characters the target lacks are losses where they become "?", not where a page takes them as
// character references.
TEST(RunJobTest, OnlyCharactersWrittenAsQuestionMarksAreLosses)
{
    TempDir dir;
    const std::string emoji = "<p>\xE4\xB8\xAD\xF0\x9F\x98\x80</p>"; // 中😀
    for (const char* name : {"a.htm", "b.js"})
        WriteFile(dir / name, emoji);
    for (const bool references : {false, true}) {
        SCOPED_TRACE(references);
        RunRequest request;
        request.settings = MakeRunSettings(EncodingId::Utf8, EncodingId::Gb, true);
        request.settings.conversion.record.unmappable = true;
        request.settings.conversion.text.unmappableAsReferences = references;
        request.settings.conversion.disk.dryRun = true;
        request.entries = {dir / "a.htm", dir / "b.js"};
        test::QuietRunHost host(false, false);
        RuleTable rules;
        const RunOutcome outcome = RunJob(request, rules, host.Roles());
        std::vector<fs::path> lossy;
        for (const RunLoss& loss : outcome.losses)
            lossy.push_back(loss.path);
        const std::vector<fs::path> expected =
            references ? std::vector<fs::path>{dir / "b.js"} : std::vector<fs::path>{dir / "a.htm", dir / "b.js"};
        EXPECT_EQ(lossy, expected);
        EXPECT_EQ(outcome.losses.back().lost.examples, std::vector<char32_t>{U'\U0001F600'});
    }
}

// The log is written at the end of every run but one the program's closing cut short, and a log
// that cannot be written is reported while the conversions done stand.
TEST(RunJobTest, LogIsWrittenAfterTheRunAndItsFailureIsReported)
{
    struct Case
    {
        const char* name;
        std::string logName; // under the temporary folder
        std::size_t closeBeforeFile;
        bool logExpected;
        bool logFails;
        std::size_t converted;
    };
    for (const Case& c : {Case{"Completed", "run.log", 0, true, false, 2},
                          Case{"LogFolderMissing", "missing/run.log", 0, false, true, 2},
                          Case{"ProgramClosed", "run.log", 2, false, false, 1}}) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        WriteFile(dir / "a.htm", kGbPage);
        WriteFile(dir / "b.htm", kGbPage);
        test::QuietRunHost host(false, false);
        host.closeBeforeFile = c.closeBeforeFile;
        RuleTable rules;
        const RunOutcome outcome =
            RunJob(GbToUtf8({dir / "a.htm", dir / "b.htm"}, dir / c.logName), rules, host.Roles());

        EXPECT_EQ(outcome.processed, c.converted);
        EXPECT_EQ(fs::exists(dir / c.logName), c.logExpected);
        if (c.logExpected) {
            EXPECT_EQ(ReadFile(dir / c.logName), test::Bytes(outcome.log));
        }
        EXPECT_EQ(outcome.logWritten.ok(), !c.logFails);
        if (c.logFails) {
            EXPECT_EQ(outcome.logWritten.code, StatusCode::CannotCreate) << outcome.logWritten.message;
        }
        EXPECT_EQ(ReadFile(dir / "a.htm"), test::Bytes(kUtf8Page));
    }
}

// A run is refused only when it could change no character: the same encoding on both sides, no rules,
// and the characters kept as the encodings imply.
TEST(RunJobTest, OnlyARunThatCanChangeNothingIsRefused)
{
    struct Case
    {
        const char* name;
        EncodingId source;
        EncodingId target;
        bool rules;
        ChineseForms chinese;
        bool guessed;
        bool changesNothing;
    };
    using F = ChineseForms;
    for (const Case& c :
         {Case{"SameEncoding", EncodingId::Utf8, EncodingId::Utf8, false, F::Implied, false, true},
          Case{"SameEncodingKept", EncodingId::Gb, EncodingId::Gb, false, F::Keep, false, true},
          Case{"OtherEncoding", EncodingId::Gb, EncodingId::Utf8, false, F::Implied, false, false},
          Case{"Rules", EncodingId::Utf8, EncodingId::Utf8, true, F::Implied, false, false},
          Case{"ToTraditional", EncodingId::Utf8, EncodingId::Utf8, false, F::Traditional, false, false},
          Case{"ToSimplified", EncodingId::Utf8, EncodingId::Utf8, false, F::Simplified, false, false},
          Case{"Guessed", EncodingId::Utf8, EncodingId::Utf8, false, F::Implied, true, false}}) {
        SCOPED_TRACE(c.name);
        RunSettings settings = MakeRunSettings(c.source, c.target, true);
        settings.conversion.text.chinese = c.chinese;
        if (c.guessed)
            settings.conversion.text.sourceMode = SourceMode::Guessed;
        EXPECT_EQ(ChangesNothing(settings, c.rules), c.changesNothing);
    }
}

TEST(RunJobTest, CharsetRuleIsMadeOnceWhenAsked)
{
    TempDir dir;
    WriteFile(dir / "a.htm", kGbPage);
    RuleTable rules;
    RunRequest request = GbToUtf8({dir / "a.htm"}, std::nullopt);
    request.makeCharsetRule = true;
    test::QuietRunHost host(true, false);
    RunJob(request, rules, host.Roles());
    EXPECT_EQ(rules.Rule(1).kind, RuleKind::InsertAtHead);
    const std::u16string made = rules.Rule(1).newText;
    EXPECT_EQ(made.rfind(u"<%@ CODEPAGE=65001 %>\r\n", 0), 0u);

    request.settings = MakeRunSettings(EncodingId::Gb, EncodingId::Big5, false);
    RunJob(request, rules, host.Roles());
    EXPECT_EQ(rules.Rule(1).newText, made) << "a rule made once is not made again";
}

// A page reached twice in one run (a path listed twice, a link to a sibling page, overlapping
// folders) is converted at its first occurrence only; the later ones fail.
TEST(RunJobTest, EachFileIsConvertedOnceHoweverItIsReached)
{
    struct Case
    {
        const char* name;
        std::vector<std::string> paths; // under the site
        bool folders;                   // the paths are folders to scan
    };
    const Case cases[] = {
        {"PathListedTwice", {"a.htm", "a.htm"}, false},
        {"LinkAfterItsTarget", {"a.htm", "link.htm"}, false},
        {"LinkBeforeItsTarget", {"link.htm", "a.htm"}, false},
        {"OverlappingFolders", {"news", "."}, true},
    };
    for (const std::size_t jobs : {1, 4}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + " with " + std::to_string(jobs) + " jobs");
            TempDir dir;
            const fs::path site = dir.Path();
            WriteFile(site / "a.htm", kGbPage);
            fs::create_directory(site / "news");
            WriteFile(site / "news" / "b.htm", kGbPage);
            fs::create_symlink("a.htm", site / "link.htm");

            std::vector<fs::path> entries;
            for (const std::string& path : c.paths)
                entries.push_back(site / path);
            RunRequest request =
                GbToUtf8(c.folders ? ExpandPaths(entries, "a.htm|b.htm") : PathList(entries), std::nullopt);
            request.settings = MakeRunSettings(EncodingId::Gb, EncodingId::Big5, false);
            request.settings.jobs = jobs;
            test::QuietRunHost host(false, false);
            RuleTable rules;
            const RunOutcome outcome = RunJob(request, rules, host.Roles());

            EXPECT_EQ(outcome.processed, request.entries.size()) << "the list keeps its entries";
            ASSERT_EQ(outcome.failures.size(), 1u);
            EXPECT_EQ(outcome.failures[0].path, request.entries.back());
            EXPECT_EQ(outcome.failures[0].reason.code, StatusCode::AlreadyConverted);
            EXPECT_EQ(outcome.failures[0].reason.message, "already converted in this run");
            EXPECT_EQ(ReadFile(request.entries.front()), test::Bytes(kBig5Page));
            EXPECT_EQ(ReadFile(request.entries.back()), test::Bytes(kBig5Page));
        }
    }
}

// One file under two names, both listed or one of them: converting it under one name would leave the
// other with the old bytes, so every name fails and none is claimed converted.
TEST(RunJobTest, HardLinkedNamesAreRefusedNeverClaimed)
{
    for (const bool backups : {true, false}) {
        SCOPED_TRACE(backups);
        TempDir dir;
        WriteFile(dir / "default.html", kGbPage);
        fs::create_hard_link(dir / "default.html", dir / "index.html");
        RunRequest request = GbToUtf8(ExpandPaths({dir.Path()}, "*.html"), std::nullopt);
        request.settings.conversion.disk.keepBackup = backups;
        test::QuietRunHost host(false, false);
        RuleTable rules;
        const RunOutcome outcome = RunJob(request, rules, host.Roles());

        ASSERT_EQ(outcome.failures.size(), 2u);
        for (const RunFailure& failure : outcome.failures) {
            EXPECT_EQ(failure.reason.code, StatusCode::HardLinked);
            EXPECT_EQ(failure.reason.message, "has 2 hard links");
            EXPECT_EQ(ReadFile(failure.path), test::Bytes(kGbPage));
        }
        EXPECT_EQ(test::Snapshot(dir.Path()).size(), 2u) << "no backup made";
    }
}

// A backup listed after its file (a filter that takes every name) is that file's original once the
// file converts, whether or not the two convert at once: it is not converted again.
TEST(RunJobTest, ABackupListedAfterItsFileIsNotConvertedAgain)
{
    for (const std::size_t jobs : {1, 4}) {
        SCOPED_TRACE(jobs);
        TempDir dir;
        WriteFile(dir / "a.htm", kGbPage);
        WriteFile(dir / "a.htm.bak", "<p>\xBE\xC9</p>"); // an older backup: 旧
        RunRequest request = GbToUtf8({dir / "a.htm", dir / "a.htm.bak"}, std::nullopt);
        request.settings.conversion.disk.keepBackup = true;
        request.settings.jobs = jobs;
        test::QuietRunHost host(false, false);
        RuleTable rules;
        const RunOutcome outcome = RunJob(request, rules, host.Roles());

        ASSERT_EQ(outcome.failures.size(), 1u);
        EXPECT_EQ(outcome.failures[0].path, dir / "a.htm.bak");
        EXPECT_EQ(outcome.failures[0].reason.code, StatusCode::AlreadyConverted);
        EXPECT_EQ(ReadFile(dir / "a.htm.bak"), test::Bytes(kGbPage));
        EXPECT_FALSE(fs::exists(dir / "a.htm.bak.bak"));
    }
}

// The first rename into a.htm fails; the calls may come from several threads.
class FirstRenameFails : public FileSystemCalls
{
public:
    int Rename(const fs::path& from, const fs::path& to) const override
    {
        if (to.filename() == "a.htm" && m_renames.fetch_add(1) == 0)
            return EACCES;
        return FileSystemCalls::Rename(from, to);
    }

private:
    mutable std::atomic<int> m_renames{0};
};

// A file whose conversion failed is not converted in this run: reached again, it is tried again,
// even while its first conversion is still going on when several files convert at once.
TEST(RunJobTest, AFileThatFailedIsTriedAgainWhenReachedAgain)
{
    for (const std::size_t jobs : {1, 4}) {
        SCOPED_TRACE(jobs);
        TempDir dir;
        WriteFile(dir / "a.htm", kGbPage);
        test::QuietRunHost host(false, false);
        RuleTable rules;
        RunRequest request = GbToUtf8({dir / "a.htm", dir / "a.htm"}, std::nullopt);
        request.settings.jobs = jobs;
        const RunOutcome outcome = RunJob(request, rules, host.Roles(), NowText, FirstRenameFails());

        ASSERT_EQ(outcome.failures.size(), 1u);
        EXPECT_EQ(outcome.failures[0].path, dir / "a.htm");
        EXPECT_EQ(outcome.failures[0].reason.code, StatusCode::CannotPlaceNewFile);
        EXPECT_EQ(ReadFile(dir / "a.htm"), test::Bytes(kUtf8Page));
    }
}

// Running out of memory for one file fails that file, in the run's own work on it as much as in its
// conversion, and the run goes on.
class OutOfMemoryAtLinkStat : public FileSystemCalls
{
public:
    explicit OutOfMemoryAtLinkStat(int call) : m_call(call) {}
    int LinkStat(const fs::path& path, struct stat& info) const override
    {
        if (++m_calls == m_call)
            throw std::bad_alloc();
        return FileSystemCalls::LinkStat(path, info);
    }

private:
    int m_call;
    mutable int m_calls = 0;
};

TEST(RunJobTest, OutOfMemoryFailsOnlyThatFile)
{
    // The first look at the path is the run's, the second the comparison before the replacement.
    for (const int call : {1, 2}) {
        SCOPED_TRACE(call);
        TempDir dir;
        WriteFile(dir / "a.htm", kGbPage);
        WriteFile(dir / "b.htm", kGbPage);
        test::QuietRunHost host(false, false);
        RuleTable rules;
        const RunOutcome outcome = RunJob(GbToUtf8({dir / "a.htm", dir / "b.htm"}, std::nullopt), rules, host.Roles(),
                                          NowText, OutOfMemoryAtLinkStat(call));
        ASSERT_EQ(outcome.failures.size(), 1u);
        EXPECT_EQ(outcome.failures[0].path, dir / "a.htm");
        EXPECT_EQ(outcome.failures[0].reason.code, StatusCode::OutOfMemory);
        EXPECT_EQ(outcome.failures[0].reason.message, "not enough memory for this file");
        EXPECT_EQ(ReadFile(dir / "a.htm"), test::Bytes(kGbPage));
        EXPECT_EQ(ReadFile(dir / "b.htm"), test::Bytes(kUtf8Page));
    }
}

// A run GB to UTF-8 with backups over a.htm and b.htm in the folder, through `calls`.
RunOutcome RunOverAAndBWithBackups(const TempDir& dir, const FileSystemCalls& calls)
{
    RunRequest request = GbToUtf8({dir / "a.htm", dir / "b.htm"}, std::nullopt);
    request.settings.conversion.disk.keepBackup = true;
    test::QuietRunHost host(false, false);
    RuleTable rules;
    return RunJob(request, rules, host.Roles(), NowText, calls);
}

// What the window shows after a run comes from its outcome, kept records or not: each file's metadata
// that its new file lacks, and how many older backups holding other bytes were replaced.
TEST(RunJobTest, OutcomeSaysWhatWasNotKeptAndWhichBackupsWereReplaced)
{
    TempDir dir;
    WriteFile(dir / "a.htm", kGbPage);
    WriteFile(dir / "a.htm.bak", "an older original");
    WriteFile(dir / "b.htm", kGbPage);
    const test::ScriptedFileCalls calls(
        [](const std::string& call, const fs::path&) { return call == "listxattr" ? EIO : 0; });
    const RunOutcome outcome = RunOverAAndBWithBackups(dir, calls);

    EXPECT_TRUE(outcome.failures.empty());
    EXPECT_EQ(outcome.replacedOtherBackups, 1u);
    ASSERT_EQ(outcome.notKept.size(), 2u);
    EXPECT_EQ(outcome.notKept[0].path, dir / "a.htm");
    EXPECT_EQ(outcome.notKept[0].text, "extended attributes not kept: Input/output error");
    EXPECT_EQ(outcome.notKept[1].path, dir / "b.htm");
}

// The run passes the calls it is given on to each conversion: a test's script of calls meets them all,
// those of putting back a missing file from its lone backup and of looking for holes among them.
TEST(RunJobTest, ConversionsMakeTheirCallsThroughTheRunsCalls)
{
    TempDir dir;
    WriteFile(dir / "a.htm", kGbPage);
    WriteFile(dir / "b.htm.bak", kGbPage);
    const test::ScriptedFileCalls calls;
    const RunOutcome outcome = RunOverAAndBWithBackups(dir, calls);

    EXPECT_TRUE(outcome.failures.empty());
    ASSERT_EQ(outcome.putBack.size(), 1u);
    const std::vector<std::string>& trace = calls.Trace();
    for (const char* call : {"seek-hole", "rename-noreplace b.htm"})
        EXPECT_NE(std::find(trace.begin(), trace.end(), call), trace.end()) << call;
}

} // namespace
} // namespace veltran
