// What a conversion does when the file, its backup or the disk is not as expected: invalid bytes,
// read-only files, something else at the backup path, a FIFO, a full disk, someone else's edit while it
// converts, and a private file's copy while it is written.

#include "FileConverter.h"

#include "ConversionFixtures.h"
#include "ScriptedFileCalls.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace veltran {
namespace {

using test::Bytes;
using test::kGbJianTi;
using test::kGbJianTiZhongWen;
using test::Options;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

TEST(ConvertFile, InvalidBytesNameTheirOffset)
{
    TempDir dir;
    WriteFile(dir / "a.htm", "abc\x81");
    const Status result = ConvertFile(dir / "a.htm", Options(EncodingId::Gb, EncodingId::Utf8), RuleTable());
    EXPECT_NE(result.message.find("offset 3"), std::string::npos) << result.message;
}

// Files the conversion must not replace, or cannot read: each fails with its reason, and the file and
// whatever stands beside it stay as they were. A read-only file fails without a backup even for root.
TEST(ConvertFile, WhatMustNotBeReplacedFailsAndStaysAsItWas)
{
    struct Case
    {
        const char* name;
        bool keepBackup;
        StatusCode failure;
        std::vector<std::string> entries; // the folder afterwards
    };
    for (const Case& c : {Case{"ReadOnlyWithoutBackup", false, StatusCode::ReadOnly, {"a.htm"}},
                          Case{"FolderAtTheBackupPath", true, StatusCode::BackupBlocked, {"a.htm", "a.htm.bak"}},
                          Case{"Fifo", true, StatusCode::SpecialFile, {"a.htm"}}}) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const auto file = dir / "a.htm";
        if (c.failure == StatusCode::SpecialFile) {
            ASSERT_EQ(::mkfifo(file.c_str(), 0644), 0);
        } else {
            WriteFile(file, kGbJianTi);
        }
        if (c.failure == StatusCode::ReadOnly) {
            ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
        }
        if (c.failure == StatusCode::BackupBlocked)
            std::filesystem::create_directory(dir / "a.htm.bak");

        const Status result = ConvertFile(file, Options(EncodingId::Gb, EncodingId::Utf8, c.keepBackup), RuleTable());

        EXPECT_EQ(result.code, c.failure);
        EXPECT_EQ(dir.Entries(), c.entries);
        if (c.failure == StatusCode::SpecialFile)
            continue;
        EXPECT_EQ(ReadFile(file), Bytes(kGbJianTi));
        if (c.failure == StatusCode::BackupBlocked) {
            EXPECT_TRUE(std::filesystem::is_directory(dir / "a.htm.bak"));
        }
    }
}

// A disk that fills up while the new file is written: the child process gets a file-size limit
// smaller than the converted file, so its write fails with EFBIG.
TEST(ConvertFile, WriteFailureLeavesTheSourceWhole)
{
    TempDir dir;
    const auto file = dir / "big.htm";
    std::string content;
    for (int i = 0; i < 2000; ++i)
        content += "<p>" + kGbJianTiZhongWen + "</p>\n";
    WriteFile(file, content);

    for (const bool keepBackup : {true, false}) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{4096, 4096};
            ::setrlimit(RLIMIT_FSIZE, &limit);
            const Status result = ConvertFile(file, Options(EncodingId::Gb, EncodingId::Utf8, keepBackup), RuleTable());
            ::_exit(result.code == StatusCode::WriteFailed ? 0 : 1);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0) << "the write should have failed (keepBackup " << keepBackup << ")";
        EXPECT_EQ(ReadFile(file), Bytes(content));
        EXPECT_EQ(dir.Entries(), std::vector<std::string>{"big.htm"});
    }
}

// Someone rewrites the file in place while it converts: same length, same inode, its modification
// time put back to the same second. The conversion must see it and leave their bytes.
TEST(ConvertFile, AnEditOfTheSameLengthMeanwhileIsNotOverwritten)
{
    TempDir dir;
    const auto file = dir / "a.htm";
    WriteFile(file, kGbJianTi);
    const test::ScriptedFileCalls calls([&file](const std::string& call, const std::filesystem::path& path) {
        if (call != "lstat" || path != file)
            return 0;
        struct stat before = {};
        ::stat(file.c_str(), &before);
        const int fd = ::open(file.c_str(), O_WRONLY);
        const std::string edit(kGbJianTi.size(), 'x');
        EXPECT_EQ(::write(fd, edit.data(), edit.size()), static_cast<ssize_t>(edit.size()));
        ::close(fd);
        timespec times[2] = {before.st_atim, before.st_mtim};
        times[1].tv_nsec = (times[1].tv_nsec + 1) % 1000000000;
        ::utimensat(AT_FDCWD, file.c_str(), times, 0);
        return 0;
    });
    const Status result = ConvertFile(file, Options(EncodingId::Gb, EncodingId::Utf8, false), RuleTable(), calls);
    EXPECT_EQ(result.code, StatusCode::ChangedMeanwhile) << result.message;
    EXPECT_EQ(ReadFile(file), Bytes(std::string(kGbJianTi.size(), 'x')));
}

// The new file is never readable by more people than the original, not even while it is written.
TEST(ConvertFile, TheStagedCopyOfAPrivateFileStaysPrivate)
{
    TempDir dir;
    const auto file = dir / "a.htm";
    WriteFile(file, kGbJianTi);
    ASSERT_EQ(::chmod(file.c_str(), 0600), 0);
    const test::ScriptedFileCalls calls;
    ASSERT_TRUE(ConvertFile(file, Options(EncodingId::Gb, EncodingId::Utf8, false), RuleTable(), calls));
    ASSERT_FALSE(calls.unnamedModes.empty());
    EXPECT_EQ(calls.unnamedModes.front() & 0777, 0600u);
    struct stat info = {};
    ASSERT_EQ(::stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

// A file with holes is a disk image or a database, not a page: converting it would read its holes as
// NUL bytes and write them out as real blocks. It is refused before a byte of it is read.
TEST(ConvertFile, SparseFileIsRefusedUnreadAndStaysSparse)
{
    struct SparseCase
    {
        const char* name;
        std::string data; // written at the start, before the hole
        off_t size;
    };
    for (const SparseCase& c :
         {SparseCase{"AllHoles", "", off_t{1} << 30}, SparseCase{"TextThenHole", kGbJianTi, 1 << 20}}) {
        TempDir dir;
        const auto file = dir / "disk.htm";
        WriteFile(file, c.data);
        ASSERT_EQ(::truncate(file.c_str(), c.size), 0);
        struct stat before = {};
        ASSERT_EQ(::stat(file.c_str(), &before), 0);
        if (before.st_blocks * 512 >= c.size)
            GTEST_SKIP() << "this file system keeps no holes";
        int reads = 0;
        const test::ScriptedFileCalls calls([&reads](const std::string& call, const std::filesystem::path&) {
            reads += call == "read-at" ? 1 : 0;
            return 0;
        });
        const Status result = ConvertFile(file, Options(EncodingId::Gb, EncodingId::Utf8), RuleTable(), calls);
        EXPECT_EQ(result.code, StatusCode::SparseFile) << c.name << ": " << result.message;
        EXPECT_EQ(reads, 0) << c.name;
        struct stat after = {};
        ASSERT_EQ(::stat(file.c_str(), &after), 0);
        EXPECT_EQ(after.st_blocks, before.st_blocks) << c.name;
        EXPECT_EQ(dir.Entries(), std::vector<std::string>{"disk.htm"}) << c.name;
    }
}

// A run killed between giving the file its backup name and renaming the new file in leaves the
// backup as a second name of the file, and one killed while linking over an older backup a staged
// name: neither is another name, and the next run converts the file. A name elsewhere still is.
TEST(ConvertFile, NamesAKilledRunLeftAreNoOtherNames)
{
    struct LinkCase
    {
        const char* name;
        std::vector<std::string> names; // further names of page.htm
        std::string older;              // a backup of other bytes, when not empty
        BackupMode mode;
        StatusCode expected;
    };
    for (const LinkCase& c :
         {LinkCase{"SimpleBackup", {"page.htm.bak"}, "", BackupMode::Simple, StatusCode::Ok},
          LinkCase{"NumberedBackup", {"page.htm.bak.~2~"}, "page.htm.bak.~1~", BackupMode::Numbered, StatusCode::Ok},
          LinkCase{"StagedNameOverAnOlderBackup",
                   {".page.htm.bak.veltran-Ab3dE9"},
                   "page.htm.bak",
                   BackupMode::Simple,
                   StatusCode::Ok},
          LinkCase{"OlderNumberedBackup",
                   {"page.htm.bak.~1~"},
                   "page.htm.bak.~2~",
                   BackupMode::Numbered,
                   StatusCode::HardLinked},
          LinkCase{
              "BackupAndAnotherName", {"page.htm.bak", "index.htm"}, "", BackupMode::Simple, StatusCode::HardLinked}}) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const auto file = dir / "page.htm";
        WriteFile(file, kGbJianTi);
        if (!c.older.empty())
            WriteFile(dir / c.older, "older");
        for (const std::string& name : c.names)
            std::filesystem::create_hard_link(file, dir / name);
        ConvertOptions options = Options(EncodingId::Gb, EncodingId::Utf8);
        options.disk.backupMode = c.mode;

        const Status result = ConvertFile(file, options, RuleTable());

        EXPECT_EQ(result.code, c.expected) << result.message;
        EXPECT_EQ(ReadFile(file) == Bytes(kGbJianTi), c.expected != StatusCode::Ok);
        if (c.expected != StatusCode::Ok) {
            EXPECT_EQ(result.message, "has 2 hard links");
        }
    }
}

} // namespace
} // namespace veltran
