#include "BatchRun.h"
#include "RunJob.h"

#include <gtest/gtest.h>

#include <deque>
#include <map>
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

// Plays the window: records what the run shows and asks, and presses "stop" during the
// yield before chosen files.
class ScriptedHost : public ProgressDisplay, public EventPump, public PerFileOptions
{
public:
    void ShowProgress(int percent, std::size_t index) override
    {
        refreshes.push_back({percent, index});
        events.push_back("progress " + std::to_string(index));
    }
    bool InputMayBeWaiting() override { return inputBefore.count(m_current) > 0; }
    void ProcessEvents() override
    {
        ++yields;
        if (stopPressedBefore.count(m_current) > 0)
            RequestStop();
        if (closedBefore.count(m_current) > 0)
            Abandon();
    }
    bool ConfirmStop() override
    {
        events.push_back("confirm " + std::to_string(m_current));
        const bool answer = stopAnswers.empty() ? true : stopAnswers.front();
        if (!stopAnswers.empty())
            stopAnswers.pop_front();
        return answer;
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
        m_current = index + 1;
    }

    std::set<std::size_t> inputBefore;
    std::set<std::size_t> stopPressedBefore;
    std::set<std::size_t> closedBefore;
    std::deque<bool> stopAnswers;
    std::deque<bool> rulesPerCall;
    std::deque<bool> bomPerCall;
    std::vector<Refresh> refreshes;
    std::vector<std::string> events;
    int yields = 0;

private:
    static bool Next(std::deque<bool>& values)
    {
        const bool value = values.front();
        values.pop_front();
        return value;
    }

    std::size_t m_current = 0;
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
                                               UnmappableCharacters& lost) {
            calls.push_back({path, options});
            if (failing.count(path.string()) > 0)
                return Status::Failure(StatusCode::InvalidBytes, {.number = 7, .encoding = 0});
            if (const auto found = losing.find(path.string()); found != losing.end())
                for (const char32_t character : found->second)
                    lost.Note(character);
            return Status::Success();
        };
        int clock = 0;
        return RunBatch(entries, settings, RunRoles{host, host, host}, convert,
                        [&clock] { return "T" + std::to_string(clock++); });
    }

    RunSettings settings = MakeRunSettings(EncodingId::Gb, EncodingId::Utf8, true);
    ScriptedHost host;
    std::set<std::string> failing;
    std::map<std::string, std::u32string> losing; // path to the characters its target lacks
    std::vector<ConvertCall> calls;
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

TEST_P(ProgressPacingTest, RefreshesAboutAHundredTimesBeforeTheFile)
{
    const PacingCase& c = GetParam();
    Run(Entries(c.count));
    ASSERT_EQ(host.refreshes.size(), c.refreshCount);
    EXPECT_EQ(host.refreshes.front().index + 1, c.firstPosition);
    EXPECT_EQ(host.refreshes.front().percent, c.firstPercent);
    EXPECT_EQ(host.refreshes.back().index + 1, c.lastPosition);
    EXPECT_EQ(host.refreshes.back().percent, c.lastPercent);
    // Without waiting input the run yields exactly once per refresh.
    EXPECT_EQ(static_cast<std::size_t>(host.yields), c.refreshCount);
    // Each refresh shows the file that is converted next.
    for (std::size_t e = 0; e + 1 < host.events.size(); ++e) {
        if (host.events[e].rfind("progress ", 0) == 0) {
            EXPECT_EQ(host.events[e + 1], "start " + host.events[e].substr(9));
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

TEST_F(BatchRunTest, WaitingInputGetsAYieldBetweenRefreshes)
{
    host.inputBefore = {10, 11}; // positions 11 and 12: 12 is a refresh position anyway
    Run(Entries(250));
    EXPECT_EQ(host.yields, 83 + 1);
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

TEST_F(BatchRunTest, StopConfirmedBeforeTheKthFileLeavesItAndLaterFilesUntouched)
{
    failing = {"/site/f1.htm"};
    host.stopPressedBefore = {2}; // during the yield before the third file
    const RunOutcome outcome = Run(Entries(5));
    EXPECT_TRUE(outcome.stopped);
    EXPECT_TRUE(host.StopRequested()) << "a confirmed stop keeps the flag set";
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls.back().path, "/site/f2.htm");
    EXPECT_EQ(outcome.log, "<Veltran 运行日志>\r\n开始时间：T0\r\n执行操作：GB --> UTF-8\r\n\r\n"
                           "处理失败：/site/f1.htm\r\n    第 7 字节起不是有效的 GB 编码\r\n"
                           "*** 处理过程被用户终止于 ***\r\n/site/f3.htm\r\n\r\n终止时间：T1");
}

TEST_F(BatchRunTest, StopDeclinedClearsTheFlagAndConvertsTheSameFile)
{
    host.stopPressedBefore = {1};
    host.stopAnswers = {false};
    const RunOutcome outcome = Run(Entries(3));
    EXPECT_FALSE(outcome.stopped);
    EXPECT_FALSE(host.StopRequested());
    EXPECT_EQ(calls.size(), 3u);
    const std::vector<std::string> expected{"progress 0", "start 0",  "finish 0",   "progress 1", "confirm 1",
                                            "start 1",    "finish 1", "progress 2", "start 2",    "finish 2"};
    EXPECT_EQ(host.events, expected);
    EXPECT_EQ(outcome.log.find("终止"), std::string::npos);
}

TEST_F(BatchRunTest, StopRequestedBeforeTheRunIsDiscarded)
{
    host.RequestStop();
    const RunOutcome outcome = Run(Entries(2));
    EXPECT_FALSE(outcome.stopped);
    EXPECT_EQ(calls.size(), 2u);
}

TEST_F(BatchRunTest, ClosingTheProgramEndsTheRunBeforeTheNextFileWithoutCompletion)
{
    host.closedBefore = {1};
    const RunOutcome outcome = Run(Entries(3));
    EXPECT_TRUE(outcome.abandoned);
    EXPECT_EQ(calls.size(), 1u);
    EXPECT_EQ(outcome.log.find("完成时间"), std::string::npos);
}

TEST_F(BatchRunTest, StopBetweenRefreshesWaitsForTheNextYield)
{
    // 250 files refresh before positions 3, 6, ...; a press before position 4 is seen at position 6.
    host.stopPressedBefore = {3, 4, 5};
    const RunOutcome outcome = Run(Entries(250));
    EXPECT_TRUE(outcome.stopped);
    EXPECT_EQ(calls.size(), 5u);
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
