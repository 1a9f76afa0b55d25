// How a converted file takes its source's place: at no moment may the path lack a file, a file
// changed by someone else is never overwritten, and no failure or crash loses the original.
#include "ReplaceFile.h"
#include "FileConverter.h"
#include "SystemError.h"

#include "ScriptedFileCalls.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fcntl.h>
#include <sys/stat.h>
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
    bool noHardLinks; // the file system refuses link() and unnamed files, as some FUSE file systems do
};

// What a file system without hard links answers to a call: 0 where it makes the call.
int WithoutHardLinks(const std::string& call)
{
    if (call == "open-unnamed")
        return EOPNOTSUPP;
    return call == "link" || call == "link-fd" ? EPERM : 0;
}

class CrashDuringReplacement : public ::testing::TestWithParam<CrashCase>
{
};

constexpr int kCrashed = 3;
constexpr int kFinished = 4;

// The conversion in a child process that ends itself just before its n-th file-system call.
int ConvertCrashingBeforeCall(const fs::path& file, const CrashCase& c, int n)
{
    const pid_t child = ::fork();
    if (child == 0) {
        int count = 0;
        const ScriptedFileCalls calls([&](const std::string& call, const fs::path&) {
            if (++count == n)
                ::_exit(kCrashed);
            return c.noHardLinks ? WithoutHardLinks(call) : 0;
        });
        (void)ConvertFile(file, GbToUtf8(c.keepBackup), RuleTable(), calls);
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
    const ScriptedFileCalls traced(
        [&c](const std::string& call, const fs::path&) { return c.noHardLinks ? WithoutHardLinks(call) : 0; });
    ASSERT_TRUE(ConvertFile(scratch / "a.htm", GbToUtf8(c.keepBackup), RuleTable(), traced));
    const std::vector<std::string>& calls = traced.Trace();
    const bool unnamed = !c.noHardLinks && std::find(calls.begin(), calls.end(), "link-fd <staged>") != calls.end();
    const auto firstName =
        std::find_if(calls.begin(), calls.end(), [](const std::string& call) { return call.rfind("link", 0) == 0; });

    int outcome = kCrashed;
    for (int n = 1; outcome == kCrashed && n < 100; ++n) {
        SCOPED_TRACE(testing::Message() << "crash before call " << n);
        TempDir dir;
        const fs::path file = dir / "a.htm";
        const fs::path backup = dir / "a.htm.bak";
        prepare(dir);

        outcome = ConvertCrashingBeforeCall(file, c, n);
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
        // Only a crash in the instant between naming a file and renaming it leaves a name behind; without
        // hard links the copied backup is named too, until its own rename.
        EXPECT_LE(StagedEntries(dir).size(), c.noHardLinks ? 2u : 1u);
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
                         ::testing::Values(CrashCase{"WithoutBackup", false, false, false},
                                           CrashCase{"WithBackup", true, false, false},
                                           CrashCase{"OverAnOlderBackup", true, true, false},
                                           CrashCase{"WithBackupWithoutHardLinks", true, false, true},
                                           CrashCase{"OverAnOlderBackupWithoutHardLinks", true, true, true}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------------------------
// Someone else changes the file while it is converted

struct ChangeCase
{
    const char* name;
    bool keepBackup;
    std::function<void(const fs::path&)> change;
    std::vector<std::string> entriesAfter;
    std::string left = "new text from someone else";
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
        EXPECT_EQ(ReadFile(file), test::Bytes(c.left));
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

// An editor that writes the same number of bytes in place and puts the modification time back, as
// `touch -r` after an edit does: only the change time tells.
const std::string kSameSizeEdit = "\xD6\xD0\xCE\xC4"; // 中文
void EditKeepingSizeAndTime(const fs::path& file)
{
    struct stat before = {};
    ASSERT_EQ(::stat(file.c_str(), &before), 0);
    ASSERT_EQ(before.st_size, static_cast<off_t>(kSameSizeEdit.size()));
    WriteFile(file, kSameSizeEdit);
    const timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
}

INSTANTIATE_TEST_SUITE_P(
    ReplaceFile, ChangedDuringConversion,
    ::testing::Values(ChangeCase{"RewrittenInPlace", false, RewriteInPlace, {"a.htm"}},
                      ChangeCase{"RewrittenInPlaceWithBackup", true, RewriteInPlace, {"a.htm"}},
                      ChangeCase{"ReplacedByAnotherFile", true, ReplaceByAnotherFile, {"a.htm"}},
                      ChangeCase{"ReplacedByAFolder", true, ReplaceByAFolder, {"a.htm"}},
                      ChangeCase{"Removed", false, Remove, {}},
                      ChangeCase{
                          "SameSizeEditWithItsTimePutBack", true, EditKeepingSizeAndTime, {"a.htm"}, kSameSizeEdit}),
    [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------------------------
// A failing step

struct FailingStepCase
{
    const char* name;
    bool keepBackup;
    std::string failingCall; // the first call of this kind fails...
    std::string on;          // ...on this file name ("<staged>" for a staged one; empty: any)
    int error;
    StatusCode failure;       // Ok: a step that has a fallback, and the file converts
    bool noHardLinks = false; // on a file system without hard links
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
    // The reading of the file is over: an fstat now is the staged file's, a read the backup copy's.
    bool staging = false;
    const ScriptedFileCalls calls([&](const std::string& call, const fs::path& path) {
        const std::string name = path.filename().string();
        const bool staged = name.find(".veltran-") != std::string::npos;
        staging = staging || call == "open-unnamed" || call == "create";
        if (call == c.failingCall && !failed && (c.on.empty() || c.on == (staged ? "<staged>" : name)) &&
            ((call != "fstat" && call != "read-at") || staging)) {
            failed = true;
            return c.error;
        }
        return c.noHardLinks ? WithoutHardLinks(call) : 0;
    });

    const Status result = ConvertFile(file, GbToUtf8(c.keepBackup), RuleTable(), calls);

    ASSERT_TRUE(failed) << "no " << c.failingCall << " call";
    if (c.failure == StatusCode::Ok) {
        EXPECT_TRUE(result.ok()) << result.message;
        EXPECT_EQ(ReadFile(file), test::Bytes(kUtf8JianTi));
        if (c.keepBackup) {
            EXPECT_EQ(ReadFile(dir / "a.htm.bak"), test::Bytes(kGbJianTi));
        }
        return;
    }
    EXPECT_EQ(result.code, c.failure);
    EXPECT_NE(result.message.find(SystemErrorText(c.error)), std::string::npos) << result.message;
    EXPECT_EQ(ReadFile(file), test::Bytes(kGbJianTi));
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"a.htm"});
}

using C = StatusCode;

INSTANTIATE_TEST_SUITE_P(
    ReplaceFile, FailingStep,
    ::testing::Values(
        FailingStepCase{"BackupLink", true, "link-fd", "a.htm.bak", EIO, C::CannotMakeBackup},
        FailingStepCase{"NamingTheNewFile", false, "link-fd", "<staged>", EIO, C::CannotNameNewFile},
        FailingStepCase{"NamingTheNewFileWithBackup", true, "link-fd", "<staged>", EIO, C::CannotNameNewFile},
        FailingStepCase{"FinalRename", false, "rename", "a.htm", EIO, C::CannotPlaceNewFile},
        FailingStepCase{"FinalRenameWithBackup", true, "rename", "a.htm", EIO, C::CannotPlaceNewFile},
        FailingStepCase{"UnnamedFileImpossible", false, "open-unnamed", "", EOPNOTSUPP, C::Ok},
        FailingStepCase{"UnnamedFileImpossibleWithBackup", true, "open-unnamed", "", EOPNOTSUPP, C::Ok},
        FailingStepCase{"HardLinkImpossible", true, "link-fd", "a.htm.bak", EPERM, C::Ok},
        FailingStepCase{"StagedFileNotCreated", false, "create", "", EIO, C::CannotCreate, true},
        FailingStepCase{"Writing", false, "write", "", ENOSPC, C::WriteFailed},
        FailingStepCase{"SettingThePermissions", false, "fstat", "", EIO, C::CannotSetPermissions},
        FailingStepCase{"CopyingTheBackupWithoutHardLinks", true, "read-at", "", EIO, C::CannotCopyBackup, true},
        FailingStepCase{"RenamingTheCopiedBackup", true, "rename", "a.htm.bak", EIO, C::CannotCopyBackup, true},
        FailingStepCase{"FinalRenameAfterACopiedBackup", true, "rename", "a.htm", EIO, C::CannotPlaceNewFile, true},
        FailingStepCase{"ListingTheAttributes", false, "listxattr", "", EIO, C::Ok}),
    [](const auto& info) { return std::string(info.param.name); });

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

TEST(ReplaceFile, SyncFlushesTheNewFileBeforeItIsNamedAndTheFolderAroundItsRename)
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
        ASSERT_GE(finalRename - steps.begin(), 3);
        EXPECT_EQ(steps.front(), "sync") << "the new file is flushed before any name is given";
        EXPECT_EQ(*(finalRename - 1), "link-fd <staged>") << "the new file is renamed as soon as it is named";
        EXPECT_EQ(*(finalRename - 2), "sync") << "the folder, with the backup, is flushed before that";
        EXPECT_EQ(steps.back(), "sync") << "and after the rename";
    }
}

} // namespace
} // namespace veltran
