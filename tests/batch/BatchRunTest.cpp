#include "BatchRun.h"
#include "RunJob.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace veltran {
namespace {

namespace fs = std::filesystem;

struct Refresh
{
    int percent;
    std::size_t index;
};

// Plays the window: records what the run shows, and steers it before chosen files. Its calls come
// one at a time, from whichever thread of the run.
class ScriptedHost : public ProgressDisplay, public RunControl, public PerFileOptions
{
public:
    void ShowProgress(int percent, std::size_t index) override
    {
        refreshes.push_back({percent, index});
        events.push_back("progress " + std::to_string(index));
    }
    Step BeforeFile(std::size_t index) override
    {
        if (holdsBefore.count(index) > 0 && holds < holdsBefore.at(index)) {
            ++holds;
            return Step::Hold;
        }
        if (stopBefore == index)
            return Step::Stop;
        return closeBefore == index ? Step::Close : Step::Start;
    }
    bool ApplyRules() override { return rulesPerCall.empty() ? false : Next(rulesPerCall); }
    bool WriteBom() override { return bomPerCall.empty() ? false : Next(bomPerCall); }
    void FileStarting(std::size_t index, const fs::path&) override
    {
        events.push_back("start " + std::to_string(index));
    }
    void FileFinished(std::size_t index, const fs::path&, const Status&) override
    {
        events.push_back("finish " + std::to_string(index));
    }

    std::map<std::size_t, int> holdsBefore; // entry index to how many times the run is held before it
    std::size_t stopBefore = SIZE_MAX;
    std::size_t closeBefore = SIZE_MAX;
    std::deque<bool> rulesPerCall;
    std::deque<bool> bomPerCall;
    std::vector<Refresh> refreshes;
    std::vector<std::string> events;
    int holds = 0;

private:
    static bool Next(std::deque<bool>& values)
    {
        const bool value = values.front();
        values.pop_front();
        return value;
    }
};

struct ConvertCall
{
    fs::path path;
    ConvertOptions options;
};

class BatchRunTest : public ::testing::Test
{
protected:
    static std::vector<fs::path> Entries(std::size_t count)
    {
        std::vector<fs::path> entries;
        for (std::size_t i = 0; i < count; ++i)
            entries.push_back("/site/f" + std::to_string(i + 1) + ".htm");
        return entries;
    }

    RunOutcome Run(const std::vector<fs::path>& entries)
    {
        const ConvertFunction convert = [this](const fs::path& path, const ConvertOptions& options,
                                               const FileSystemCalls&, ConversionNotes& notes) {
            if (beforeConvert)
                beforeConvert(path);
            {
                const std::lock_guard<std::mutex> hold(m_callsLock);
                calls.push_back({path, options});
            }
            if (failing.count(path.string()) > 0)
                return Status::Failure(StatusCode::InvalidBytes, {.number = 7, .encoding = 0});
            if (const auto found = losing.find(path.string()); found != losing.end())
                for (const char32_t character : found->second)
                    notes.unmappable.Note(character);
            return Status::Success();
        };
        int clock = 0;
        return RunBatch(entries, settings, RunRoles{host, host, host}, convert,
                        [&clock] { return "T" + std::to_string(clock++); });
    }

    RunSettings settings = MakeRunSettings(EncodingId::Gb, EncodingId::Utf8, true);
    ScriptedHost host;
    std::set<std::string> failing;
    std::map<std::string, std::u32string> losing;       // path to the characters its target lacks
    std::function<void(const fs::path&)> beforeConvert; // on the converting thread
    std::vector<ConvertCall> calls;

private:
    std::mutex m_callsLock;
};

struct PacingCase
{
    const char* name;
    std::size_t count;
    std::size_t refreshCount;
    std::size_t firstPosition; // counted from 1
    int firstPercent;
    std::size_t lastPosition;
    int lastPercent;
};

class ProgressPacingTest : public BatchRunTest, public ::testing::WithParamInterface<PacingCase>
{
};

TEST_P(ProgressPacingTest, RefreshesAboutAHundredTimesAfterTheFile)
{
    const PacingCase& c = GetParam();
    settings.jobs = 3;
    Run(Entries(c.count));
    ASSERT_EQ(host.refreshes.size(), c.refreshCount);
    EXPECT_EQ(host.refreshes.front().index + 1, c.firstPosition);
    EXPECT_EQ(host.refreshes.front().percent, c.firstPercent);
    EXPECT_EQ(host.refreshes.back().index + 1, c.lastPosition);
    EXPECT_EQ(host.refreshes.back().percent, c.lastPercent);
    // Each refresh counts the file that has just finished.
    for (std::size_t e = 1; e < host.events.size(); ++e) {
        if (host.events[e].rfind("progress ", 0) == 0) {
            EXPECT_EQ(host.events[e - 1], "finish " + host.events[e].substr(9));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, ProgressPacingTest,
                         ::testing::Values(PacingCase{"OneFile", 1, 1, 1, 100, 1, 100},
                                           PacingCase{"SevenFiles", 7, 7, 1, 14, 7, 100},
                                           PacingCase{"Hundred", 100, 50, 2, 2, 100, 100},
                                           PacingCase{"HundredNinetyNine", 199, 99, 2, 1, 198, 99},
                                           PacingCase{"TwoHundredFifty", 250, 83, 3, 1, 249, 99}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(BatchRunTest, EmptyListLogsHeaderAndCompletionOnly)
{
    const RunOutcome outcome = Run({});
    EXPECT_FALSE(outcome.stopped);
    EXPECT_TRUE(calls.empty());
    EXPECT_TRUE(host.refreshes.empty());
    EXPECT_EQ(outcome.log, "<Veltran 运行日志>\r\n开始时间：T0\r\n执行操作：GB --> UTF-8\r\n\r\n\r\n完成时间：T1");
}

TEST_F(BatchRunTest, CompletedRunLogsFailuresAndLossesInListOrder)
{
    failing = {"/site/f2.htm", "/site/f4.htm"};
    losing = {{"/site/f3.htm", U"\U0001F600\uD55C\uAD6D\uC5B4\uD55C\u2170\u2171"}, {"/site/f5.htm", U"\u2170"}};
    const RunOutcome outcome = Run(Entries(5));
    EXPECT_FALSE(outcome.stopped);
    EXPECT_EQ(calls.size(), 5u);
    ASSERT_EQ(outcome.failures.size(), 2u);
    EXPECT_EQ(outcome.failures[0].path, "/site/f2.htm");
    EXPECT_EQ(outcome.failures[1].reason.message, "bytes not valid in GB at offset 7");
    ASSERT_EQ(outcome.losses.size(), 2u);
    EXPECT_EQ(outcome.losses[0].path, "/site/f3.htm");
    EXPECT_EQ(outcome.losses[0].lost.count, 7u);
    EXPECT_EQ(outcome.log, "<Veltran 运行日志>\r\n开始时间：T0\r\n执行操作：GB --> UTF-8\r\n\r\n"
                           "处理失败：/site/f2.htm\r\n    第 7 字节起不是有效的 GB 编码\r\n"
                           "字符丢失：/site/f3.htm（目标编码没有的字符 7 个，已写成 \"?\"：U+1F600 😀，U+D55C 한，"
                           "U+AD6D 국，U+C5B4 어，U+2170 ⅰ ...）\r\n"
                           "处理失败：/site/f4.htm\r\n    第 7 字节起不是有效的 GB 编码\r\n"
                           "字符丢失：/site/f5.htm（目标编码没有的字符 1 个，已写成 \"?\"：U+2170 ⅰ）\r\n"
                           "\r\n完成时间：T1");
}

// However many files convert at once, none starts once the host stops the run; the files before
// the stop are all converted, and the stop entry names the first that did not start.
TEST_F(BatchRunTest, StopBeforeTheKthFileLeavesItAndLaterFilesUntouched)
{
    for (const std::size_t jobs : {1, 4}) {
        SCOPED_TRACE(jobs);
        calls.clear();
        settings.jobs = jobs;
        failing = {"/site/f1.htm"};
        host.stopBefore = 2;
        const RunOutcome outcome = Run(Entries(5));
        EXPECT_TRUE(outcome.stopped);
        EXPECT_EQ(outcome.processed, 2u);
        ASSERT_EQ(calls.size(), 2u);
        EXPECT_EQ(outcome.log, "<Veltran 运行日志>\r\n开始时间：T0\r\n执行操作：GB --> UTF-8\r\n\r\n"
                               "处理失败：/site/f1.htm\r\n    第 7 字节起不是有效的 GB 编码\r\n"
                               "*** 处理过程被用户终止于 ***\r\n/site/f3.htm\r\n\r\n终止时间：T1");
    }
}

// While the host holds the run (a stop question is open) no file starts; when it lets go, the run
// goes on with the file it held.
TEST_F(BatchRunTest, HeldRunStartsNothingUntilLetGo)
{
    settings.jobs = 2;
    host.holdsBefore = {{1, 3}};
    const RunOutcome outcome = Run(Entries(3));
    EXPECT_FALSE(outcome.stopped);
    EXPECT_EQ(host.holds, 3);
    EXPECT_EQ(calls.size(), 3u);
    EXPECT_EQ(host.events.front(), "start 0");
    EXPECT_EQ(std::count(host.events.begin(), host.events.end(), "start 1"), 1);
    EXPECT_EQ(outcome.log.find("终止"), std::string::npos);
}

TEST_F(BatchRunTest, ClosingTheProgramEndsTheRunBeforeTheNextFileWithoutCompletion)
{
    host.closeBefore = 1;
    const RunOutcome outcome = Run(Entries(3));
    EXPECT_TRUE(outcome.abandoned);
    EXPECT_EQ(calls.size(), 1u);
    EXPECT_EQ(outcome.log.find("完成时间"), std::string::npos);
}

// Files that finish out of order (here the first waits for the three after it) are told to the
// display, the log and the outcome in list order, as one job would tell them.
TEST_F(BatchRunTest, SeveralJobsTellResultsInListOrder)
{
    // Files that exist: a path that names none waits for the files converting before it.
    test::TempDir dir;
    std::vector<fs::path> entries;
    for (int i = 1; i <= 4; ++i) {
        entries.push_back(dir / ("f" + std::to_string(i) + ".htm"));
        test::WriteFile(entries.back(), "page");
    }
    settings.jobs = 4;
    settings.keepRecords = true;
    failing = {entries[1].string(), entries[3].string()};
    std::mutex lock;
    std::condition_variable changed;
    std::vector<fs::path> converted;
    beforeConvert = [&](const fs::path& path) {
        std::unique_lock<std::mutex> hold(lock);
        if (path == entries[0])
            changed.wait(hold, [&] { return converted.size() == 3; });
        converted.push_back(path);
        changed.notify_all();
    };
    const RunOutcome outcome = Run(entries);
    std::vector<std::string> finishes;
    for (const std::string& event : host.events) {
        if (event.rfind("finish ", 0) == 0)
            finishes.push_back(event);
    }
    EXPECT_EQ(finishes, (std::vector<std::string>{"finish 0", "finish 1", "finish 2", "finish 3"}));
    EXPECT_EQ(converted.back(), entries[0]) << "the first file did finish last";
    ASSERT_EQ(outcome.records.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_EQ(outcome.records[i].path, entries[i]);
    EXPECT_EQ(outcome.log, "<Veltran 运行日志>\r\n开始时间：T0\r\n执行操作：GB --> UTF-8\r\n\r\n处理失败：" +
                               entries[1].string() + "\r\n    第 7 字节起不是有效的 GB 编码\r\n处理失败：" +
                               entries[3].string() + "\r\n    第 7 字节起不是有效的 GB 编码\r\n\r\n完成时间：T1");
}

// Files convert at once only while their sizes add up to no more than the held bytes; a file larger
// than that converts alone, and still converts.
TEST_F(BatchRunTest, HeldBytesBoundTheFilesConvertingAtOnce)
{
    test::TempDir dir;
    std::map<fs::path, std::uintmax_t> sizes;
    std::vector<fs::path> entries;
    for (const std::size_t size : {60, 60, 60, 500, 60}) {
        entries.push_back(dir / ("f" + std::to_string(entries.size()) + ".htm"));
        test::WriteFile(entries.back(), std::string(size, 'a'));
        sizes[entries.back()] = size;
    }
    settings.jobs = 4;
    settings.heldBytes = 130;
    std::mutex lock;
    std::condition_variable changed;
    std::uintmax_t held = 0;
    std::vector<std::uintmax_t> heldAtStart;
    beforeConvert = [&](const fs::path& path) {
        std::unique_lock<std::mutex> hold(lock);
        held += sizes.at(path);
        heldAtStart.push_back(held);
        changed.notify_all();
        // The first two fit together: the first waits until the second has started too.
        if (path == entries[0])
            changed.wait(hold, [&] { return heldAtStart.size() >= 2; });
        held -= sizes.at(path);
    };
    const RunOutcome outcome = Run(entries);
    EXPECT_EQ(calls.size(), 5u);
    EXPECT_TRUE(outcome.failures.empty());
    EXPECT_EQ(*std::max_element(heldAtStart.begin(), heldAtStart.end()), 500u);
    for (const std::uintmax_t bytes : heldAtStart)
        EXPECT_TRUE(bytes <= 130 || bytes == 500) << bytes;
}

TEST_F(BatchRunTest, PerFileFlagsAreReadAnewAndRunSettingsPassThrough)
{
    settings.conversion.text.source = EncodingId::Big5;
    settings.conversion.text.target = EncodingId::Gb;
    settings.conversion.text.sourceMode = SourceMode::Guessed;
    settings.conversion.disk.keepBackup = false;
    settings.conversion.disk.sync = true;
    host.rulesPerCall = {true, false, true};
    host.bomPerCall = {false, true, true};
    Run(Entries(3));
    ASSERT_EQ(calls.size(), 3u);
    const bool expectedRules[] = {true, false, true};
    const bool expectedBom[] = {false, true, true};
    for (std::size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const ConvertOptions& options = calls[i].options;
        EXPECT_EQ(options.text.source, EncodingId::Big5);
        EXPECT_EQ(options.text.target, EncodingId::Gb);
        EXPECT_EQ(options.text.sourceMode, SourceMode::Guessed);
        EXPECT_TRUE(!options.disk.keepBackup && options.disk.sync);
        EXPECT_EQ(options.text.applyRules, expectedRules[i]);
        EXPECT_EQ(options.text.writeBom, expectedBom[i]);
    }
}

} // namespace
} // namespace veltran
