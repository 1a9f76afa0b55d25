// How a converted file takes its source's place: at no moment may the path lack a file, a file
// changed by someone else is never overwritten, and no failure or crash loses the original.
#include "ReplaceFile.h"
#include "FileConverter.h"

#include "ScriptedFileCalls.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sys/wait.h>
#include <unistd.h>

namespace veltran {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::ScriptedFileCalls;
using test::TempDir;
using test::WriteFile;

const std::string kGbJianTi = "\xBC\xF2\xCC\xE5";           // 简体
const std::string kUtf8JianTi = "\xE7\xAE\x80\xE4\xBD\x93"; // 简体
const std::string kOlderBackup = "older backup";

ConvertOptions GbToUtf8(bool keepBackup)
{
    ConvertOptions options;
    options.text.source = EncodingId::Gb;
    options.text.target = EncodingId::Utf8;
    options.disk.keepBackup = keepBackup;
    return options;
}

std::vector<std::string> StagedEntries(const TempDir& dir)
{
    std::vector<std::string> staged;
    for (const std::string& name : dir.Entries())
        if (name.find(".veltran-") != std::string::npos)
            staged.push_back(name);
    return staged;
}

// ---------------------------------------------------------------------------------------------------------
// A crash at any moment

struct CrashCase
{
    const char* name;
    bool keepBackup;
    bool olderBackup; // a.htm.bak holds an older backup before the run
};

class CrashDuringReplacement : public ::testing::TestWithParam<CrashCase>
{
};

constexpr int kCrashed = 3;
constexpr int kFinished = 4;

// The conversion in a child process that ends itself just before its n-th file-system call.
int ConvertCrashingBeforeCall(const fs::path& file, bool keepBackup, int n)
{
    const pid_t child = ::fork();
    if (child == 0) {
        int count = 0;
        const ScriptedFileCalls calls([&](const std::string&, const fs::path&) {
            if (++count == n)
                ::_exit(kCrashed);
            return 0;
        });
        ConvertFile(file, GbToUtf8(keepBackup), RuleTable(), calls);
        ::_exit(kFinished);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_P(CrashDuringReplacement, LeavesTheOriginalOrTheWholeConversionAndTheBackup)
{
    const CrashCase& c = GetParam();
    const veltran::Bytes original = test::Bytes(kGbJianTi);
    const veltran::Bytes converted = test::Bytes(kUtf8JianTi);
    const auto prepare = [&c](const TempDir& dir) {
        WriteFile(dir / "a.htm", kGbJianTi);
        if (c.olderBackup)
            WriteFile(dir / "a.htm.bak", kOlderBackup);
    };
    // The calls of a whole conversion: until the first name is given, a crash leaves no name where
    // the new content is written without one.
    const TempDir scratch;
    prepare(scratch);
    const ScriptedFileCalls traced;
    ASSERT_TRUE(ConvertFile(scratch / "a.htm", GbToUtf8(c.keepBackup), RuleTable(), traced));
    const std::vector<std::string>& calls = traced.Trace();
    const bool unnamed = std::find(calls.begin(), calls.end(), "link-unnamed <staged>") != calls.end();
    const auto firstName =
        std::find_if(calls.begin(), calls.end(), [](const std::string& call) { return call.rfind("link", 0) == 0; });

    int outcome = kCrashed;
    for (int n = 1; outcome == kCrashed && n < 100; ++n) {
        SCOPED_TRACE(testing::Message() << "crash before call " << n);
        TempDir dir;
        const fs::path file = dir / "a.htm";
        const fs::path backup = dir / "a.htm.bak";
        prepare(dir);

        outcome = ConvertCrashingBeforeCall(file, c.keepBackup, n);
        ASSERT_TRUE(outcome == kCrashed || outcome == kFinished) << outcome;

        ASSERT_TRUE(fs::is_regular_file(file)) << "the path lost its file";
        const veltran::Bytes now = ReadFile(file);
        EXPECT_TRUE(now == original || now == converted);
        if (fs::exists(backup)) {
            const veltran::Bytes held = ReadFile(backup);
            EXPECT_TRUE(held == original || (c.olderBackup && held == test::Bytes(kOlderBackup)));
        }
        if (c.keepBackup && now == converted) {
            ASSERT_TRUE(fs::exists(backup));
            EXPECT_EQ(ReadFile(backup), original);
        }
        // Only a crash in the instant between naming a file and renaming it leaves a name behind.
        EXPECT_LE(StagedEntries(dir).size(), 1u);
        if (unnamed && n <= firstName - calls.begin() + 1) {
            EXPECT_TRUE(StagedEntries(dir).empty());
        }
        if (outcome == kFinished) {
            EXPECT_EQ(now, converted);
            EXPECT_TRUE(StagedEntries(dir).empty());
        }
    }
    EXPECT_EQ(outcome, kFinished);
}

INSTANTIATE_TEST_SUITE_P(ReplaceFile, CrashDuringReplacement,
                         ::testing::Values(CrashCase{"WithoutBackup", false, false},
                                           CrashCase{"WithBackup", true, false},
                                           CrashCase{"OverAnOlderBackup", true, true}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------------------------
// Someone else changes the file while it is converted

struct ChangeCase
{
    const char* name;
    bool keepBackup;
    std::function<void(const fs::path&)> change;
    std::vector<std::string> entriesAfter;
};

class ChangedDuringConversion : public ::testing::TestWithParam<ChangeCase>
{
};

TEST_P(ChangedDuringConversion, FailsAndLeavesTheChangedFileAlone)
{
    const ChangeCase& c = GetParam();
    TempDir dir;
    const fs::path file = dir / "a.htm";
    WriteFile(file, kGbJianTi);
    bool changed = false;
    // The change comes when the path is looked at just before the replacement.
    const ScriptedFileCalls calls([&](const std::string& call, const fs::path& path) {
        if (call == "lstat" && path == file && !changed) {
            changed = true;
            c.change(file);
        }
        return 0;
    });

    const Status result = ConvertFile(file, GbToUtf8(c.keepBackup), RuleTable(), calls);

    ASSERT_TRUE(changed) << "the path was not looked at before its replacement";
    EXPECT_EQ(result.code, StatusCode::ChangedMeanwhile) << result.message;
    EXPECT_EQ(result.message, "changed during conversion");
    EXPECT_EQ(dir.Entries(), c.entriesAfter);
    if (fs::is_regular_file(file)) {
        EXPECT_EQ(ReadFile(file), test::Bytes("new text from someone else"));
    }
}

void RewriteInPlace(const fs::path& file)
{
    WriteFile(file, "new text from someone else");
}

void ReplaceByAnotherFile(const fs::path& file)
{
    WriteFile(file.string() + ".new", "new text from someone else");
    fs::rename(file.string() + ".new", file);
}

void ReplaceByAFolder(const fs::path& file)
{
    fs::remove(file);
    fs::create_directory(file);
}

void Remove(const fs::path& file)
{
    fs::remove(file);
}

INSTANTIATE_TEST_SUITE_P(ReplaceFile, ChangedDuringConversion,
                         ::testing::Values(ChangeCase{"RewrittenInPlace", false, RewriteInPlace, {"a.htm"}},
                                           ChangeCase{"RewrittenInPlaceWithBackup", true, RewriteInPlace, {"a.htm"}},
                                           ChangeCase{"ReplacedByAnotherFile", true, ReplaceByAnotherFile, {"a.htm"}},
                                           ChangeCase{"ReplacedByAFolder", true, ReplaceByAFolder, {"a.htm"}},
                                           ChangeCase{"Removed", false, Remove, {}}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------------------------
// A failing step

struct FailingStepCase
{
    const char* name;
    bool keepBackup;
    std::string failingCall; // the first call of this kind fails
    int error;
    std::string messagePart;
    bool converted; // a step that has a fallback
};

class FailingStep : public ::testing::TestWithParam<FailingStepCase>
{
};

TEST_P(FailingStep, LeavesTheSourceAtItsPath)
{
    const FailingStepCase& c = GetParam();
    TempDir dir;
    const fs::path file = dir / "a.htm";
    WriteFile(file, kGbJianTi);
    bool failed = false;
    const ScriptedFileCalls calls([&](const std::string& call, const fs::path&) {
        if (call != c.failingCall || failed)
            return 0;
        failed = true;
        return c.error;
    });

    const Status result = ConvertFile(file, GbToUtf8(c.keepBackup), RuleTable(), calls);

    ASSERT_TRUE(failed) << "no " << c.failingCall << " call";
    EXPECT_NE(result.message.find(c.messagePart), std::string::npos) << result.message;
    if (c.converted) {
        EXPECT_TRUE(result.ok()) << result.message;
        EXPECT_EQ(ReadFile(file), test::Bytes(kUtf8JianTi));
        return;
    }
    EXPECT_EQ(result.code, StatusCode::WriteFailed);
    EXPECT_EQ(ReadFile(file), test::Bytes(kGbJianTi));
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"a.htm"});
}

INSTANTIATE_TEST_SUITE_P(
    ReplaceFile, FailingStep,
    ::testing::Values(
        FailingStepCase{"BackupLink", true, "link", EIO, "cannot make the backup: Input/output error", false},
        FailingStepCase{"NamingTheNewFile", false, "link-unnamed", EIO, "Input/output error", false},
        FailingStepCase{"NamingTheNewFileWithBackup", true, "link-unnamed", EIO, "Input/output error", false},
        FailingStepCase{"FinalRename", false, "rename", EIO, "cannot put the new file in place", false},
        FailingStepCase{"FinalRenameWithBackup", true, "rename", EIO, "cannot put the new file in place", false},
        FailingStepCase{"UnnamedFileImpossible", false, "open-unnamed", EOPNOTSUPP, "", true},
        FailingStepCase{"UnnamedFileImpossibleWithBackup", true, "open-unnamed", EOPNOTSUPP, "", true},
        FailingStepCase{"HardLinkImpossible", true, "link", EPERM, "", true}),
    [](const auto& info) { return std::string(info.param.name); });

// Where hard links are impossible the source is renamed to the backup first, and a failure after that
// says so, with the source put back.
TEST(ReplaceFile, WithoutHardLinksAFailureSaysTheBackupWasRenamed)
{
    TempDir dir;
    const fs::path file = dir / "a.htm";
    WriteFile(file, kGbJianTi);
    bool renameFailed = false;
    const ScriptedFileCalls calls([&](const std::string& call, const fs::path& path) {
        if (call == "link" && path.filename() == "a.htm.bak")
            return EPERM;
        if (call != "rename" || path != file || renameFailed)
            return 0;
        renameFailed = true;
        return EIO;
    });
    const Status result = ConvertFile(file, GbToUtf8(true), RuleTable(), calls);
    EXPECT_EQ(result.code, StatusCode::WriteFailed);
    EXPECT_NE(result.message.find("no hard links"), std::string::npos) << result.message;
    EXPECT_EQ(ReadFile(file), test::Bytes(kGbJianTi));
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"a.htm"});
}

// ---------------------------------------------------------------------------------------------------------
// Durable on request

std::vector<std::string> SyncAndNaming(const std::vector<std::string>& trace)
{
    std::vector<std::string> kept;
    std::copy_if(trace.begin(), trace.end(), std::back_inserter(kept), [](const std::string& call) {
        return call == "sync" || call.rfind("rename", 0) == 0 || call.rfind("link", 0) == 0;
    });
    return kept;
}

TEST(ReplaceFile, SyncFlushesTheNewFileAndItsFolderBeforeTheRenameAndTheFolderAfter)
{
    for (const bool sync : {false, true}) {
        SCOPED_TRACE(sync ? "sync" : "no sync");
        TempDir dir;
        const fs::path file = dir / "a.htm";
        WriteFile(file, kGbJianTi);
        const ScriptedFileCalls calls;
        ReplaceOptions options;
        options.backup = dir / "a.htm.bak";
        options.sync = sync;
        const veltran::Bytes content = test::Bytes(kUtf8JianTi);
        const std::array<ByteView, 1> pieces{ByteView(content)};
        ASSERT_TRUE(ReplaceFile(file, pieces, options, calls));

        const std::vector<std::string> steps = SyncAndNaming(calls.Trace());
        const auto finalRename = std::find(steps.begin(), steps.end(), "rename a.htm");
        ASSERT_NE(finalRename, steps.end());
        if (!sync) {
            EXPECT_EQ(std::count(steps.begin(), steps.end(), "sync"), 0);
            continue;
        }
        ASSERT_GE(steps.size(), 3u);
        EXPECT_EQ(steps.front(), "sync") << "the new file is flushed before any name is given";
        EXPECT_EQ(*(finalRename - 1), "sync") << "the folder is flushed before the rename";
        EXPECT_EQ(steps.back(), "sync") << "and after it";
    }
}

} // namespace
} // namespace veltran
