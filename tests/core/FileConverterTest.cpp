#include "FileConverter.h"

#include "TempDir.h"

#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace veltran {
namespace {

using test::Bytes;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

// GB and BIG5 byte literals, checked against iconv.
const std::string kGbJianTiZhongWen = "\xBC\xF2\xCC\xE5\xD6\xD0\xCE\xC4"; // 简体中文
const std::string kBig5JianTi = "\xC2\xB2\xC5\xE9";                       // 簡體
const std::string kGbJianTi = "\xBC\xF2\xCC\xE5";                         // 简体
const std::string kUtf8JianTi = "\xE7\xAE\x80\xE4\xBD\x93";               // 简体
const std::string kUtf8JianTiTraditional = "\xE7\xB0\xA1\xE9\xAB\x94";    // 簡體
const std::string kBom = "\xEF\xBB\xBF";

ConvertOptions Options(EncodingId source, EncodingId target, bool keepBackup = true, bool writeBom = false)
{
    ConvertOptions options;
    options.source = source;
    options.target = target;
    options.keepBackup = keepBackup;
    options.writeBom = writeBom;
    return options;
}

struct ByteCase
{
    const char* name;
    EncodingId source;
    EncodingId target;
    bool writeBom;
    std::string input;
    std::string expected;
};

class ConvertFileBytes : public ::testing::TestWithParam<ByteCase>
{
};

TEST_P(ConvertFileBytes, WritesTheExpectedBytes)
{
    const ByteCase& c = GetParam();
    TempDir dir;
    const auto file = dir / "page.htm";
    WriteFile(file, c.input);
    const Status result = ConvertFile(file, Options(c.source, c.target, false, c.writeBom), RuleTable());
    ASSERT_TRUE(result.ok()) << result.message;
    EXPECT_EQ(ReadFile(file), Bytes(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Pipelines, ConvertFileBytes,
    ::testing::Values(
        ByteCase{"ShortGbFileIsNotTestedForBom", EncodingId::Gb, EncodingId::Utf8, false, "ab", "ab"},
        ByteCase{"BomWrittenForUtf8Target", EncodingId::Gb, EncodingId::Utf8, true, "ab", kBom + "ab"},
        ByteCase{"BomDecidesDecodingWhateverTheSource", EncodingId::Gb, EncodingId::Gb, false, kBom + "ab", "ab"},
        ByteCase{"Utf8BomDroppedWithoutWriteBom", EncodingId::Utf8, EncodingId::Utf8, false, kBom + kUtf8JianTi,
                 kUtf8JianTi},
        ByteCase{"WriteBomIgnoredForGbTarget", EncodingId::Utf8, EncodingId::Gb, true, kUtf8JianTi, kGbJianTi},
        ByteCase{"WriteBomIgnoredForBig5Target", EncodingId::Gb, EncodingId::Big5, true, kGbJianTi, kBig5JianTi},
        ByteCase{"GbToBig5GivesTraditional", EncodingId::Gb, EncodingId::Big5, false, "<p>" + kGbJianTi + "</p>",
                 "<p>" + kBig5JianTi + "</p>"},
        ByteCase{"Big5ToGbGivesSimplified", EncodingId::Big5, EncodingId::Gb, false, kBig5JianTi, kGbJianTi},
        ByteCase{"Big5ToUtf8StaysTraditional", EncodingId::Big5, EncodingId::Utf8, false, kBig5JianTi,
                 kUtf8JianTiTraditional},
        ByteCase{"GbToUtf8IsSimplified", EncodingId::Gb, EncodingId::Utf8, false, kGbJianTiZhongWen,
                 "\xE7\xAE\x80\xE4\xBD\x93\xE4\xB8\xAD\xE6\x96\x87"},
        ByteCase{"Utf8ToUtf8SimplifiesTraditional", EncodingId::Utf8, EncodingId::Utf8, false, kUtf8JianTiTraditional,
                 kUtf8JianTi},
        // Characters GB lacks survive a UTF-8 to UTF-8 run: emoji, kana, hangul, an ideograph outside the BMP.
        ByteCase{"Utf8ToUtf8KeepsCharactersGbLacks", EncodingId::Utf8, EncodingId::Utf8, false,
                 "\xF0\x9F\x98\x80\xE3\x81\x8B\xED\x95\x9C\xF0\xA0\x80\x80",
                 "\xF0\x9F\x98\x80\xE3\x81\x8B\xED\x95\x9C\xF0\xA0\x80\x80"},
        ByteCase{"CharactersBig5LacksBecomeQuestionMarks", EncodingId::Utf8, EncodingId::Big5, false,
                 "a\xF0\x9F\x98\x80"
                 "b",
                 "a?b"},
        // A byte-order mark makes a file declared BIG5 plain UTF-8 text, not BIG5 garbled through GB.
        ByteCase{"BomFileDeclaredBig5ReadAsUtf8", EncodingId::Big5, EncodingId::Gb, false,
                 kBom + kUtf8JianTiTraditional, kGbJianTi}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ConvertFile, BackupHoldsTheSourceAndReplacesAnOlderBackup)
{
    TempDir dir;
    const auto file = dir / "a.htm";
    WriteFile(file, kGbJianTi);
    WriteFile(dir / "a.htm.bak", "older backup");
    struct stat before = {};
    ASSERT_EQ(::stat(file.c_str(), &before), 0);

    ASSERT_TRUE(ConvertFile(file, Options(EncodingId::Gb, EncodingId::Utf8), RuleTable()));

    EXPECT_EQ(ReadFile(dir / "a.htm.bak"), Bytes(kGbJianTi));
    EXPECT_EQ(ReadFile(file), Bytes(kUtf8JianTi));
    struct stat backup = {};
    ASSERT_EQ(::stat((dir / "a.htm.bak").c_str(), &backup), 0);
    EXPECT_EQ(backup.st_ino, before.st_ino) << "the backup is the source file itself";
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"a.htm", "a.htm.bak"}));
}

TEST(ConvertFile, WithoutBackupAnExistingBackupIsLeftAlone)
{
    TempDir dir;
    const auto file = dir / "a.htm";
    WriteFile(file, kGbJianTi);
    WriteFile(dir / "a.htm.bak", "older backup");
    ASSERT_TRUE(ConvertFile(file, Options(EncodingId::Gb, EncodingId::Utf8, false), RuleTable()));
    EXPECT_EQ(ReadFile(dir / "a.htm.bak"), Bytes("older backup"));
    EXPECT_EQ(ReadFile(file), Bytes(kUtf8JianTi));
}

TEST(ConvertFile, NewFileKeepsThePermissionBits)
{
    TempDir dir;
    const auto file = dir / "run.php";
    WriteFile(file, "ab");
    ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
    ASSERT_TRUE(ConvertFile(file, Options(EncodingId::Gb, EncodingId::Utf8, false, true), RuleTable()));
    struct stat info = {};
    ASSERT_EQ(::stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
}

TEST(ConvertFile, LongestFileNameStillConverts)
{
    TempDir dir;
    const auto file = dir / (std::string(251, 'n') + ".htm"); // 255 bytes, the longest name allowed
    WriteFile(file, kGbJianTi);
    const Status result = ConvertFile(file, Options(EncodingId::Gb, EncodingId::Utf8, false), RuleTable());
    ASSERT_TRUE(result.ok()) << result.message;
    EXPECT_EQ(ReadFile(file), Bytes(kUtf8JianTi));
}

TEST(ConvertFile, NewFileKeepsTheOwnerWhereTheProcessMay)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root may give a file to another owner";
    TempDir dir;
    const auto file = dir / "page.htm";
    WriteFile(file, kGbJianTi);
    ASSERT_EQ(::chown(file.c_str(), 12345, 23456), 0);
    ASSERT_TRUE(ConvertFile(file, Options(EncodingId::Gb, EncodingId::Big5, false), RuleTable()));
    struct stat info = {};
    ASSERT_EQ(::stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, 12345u);
    EXPECT_EQ(info.st_gid, 23456u);
}

TEST(ConvertFile, LinkIsConvertedWhereItPointsAndStaysALink)
{
    TempDir dir;
    WriteFile(dir / "real.htm", kGbJianTi);
    std::filesystem::create_symlink("real.htm", dir / "link.htm");
    ASSERT_TRUE(ConvertFile(dir / "link.htm", Options(EncodingId::Gb, EncodingId::Utf8), RuleTable()));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.htm"));
    EXPECT_EQ(ReadFile(dir / "real.htm"), Bytes(kUtf8JianTi));
    EXPECT_EQ(ReadFile(dir / "real.htm.bak"), Bytes(kGbJianTi));
}

TEST(ConvertFile, RulesThatEmptyTheTextGiveAnEmptyUtf8File)
{
    TempDir dir;
    const auto file = dir / "a.txt";
    RuleTable rules;
    rules.Rule(2) = {RuleKind::Replace, u"ab", u""};
    for (const bool bom : {false, true}) {
        WriteFile(file, "AB");
        ConvertOptions options = Options(EncodingId::Gb, EncodingId::Utf8, false, bom);
        options.applyRules = true;
        ASSERT_TRUE(ConvertFile(file, options, rules));
        EXPECT_EQ(ReadFile(file), Bytes(bom ? kBom : ""));
    }
}

// Failures: the file stays as it was, no backup is made and nothing is left behind.
struct FailureCase
{
    const char* name;
    std::string content; // written to page.htm unless it is "<folder>" or "<none>"
    EncodingId source;
    EncodingId target;
    bool keepBackup;
    StatusCode expected;
};

class ConvertFileFailure : public ::testing::TestWithParam<FailureCase>
{
};

TEST_P(ConvertFileFailure, LeavesTheDiskUnchanged)
{
    const FailureCase& c = GetParam();
    TempDir dir;
    const auto file = dir / "page.htm";
    if (c.content == "<folder>")
        std::filesystem::create_directory(file);
    else if (c.content != "<none>")
        WriteFile(file, c.content);
    const auto before = dir.Entries();

    RuleTable rules;
    rules.Rule(2) = {RuleKind::Replace, u"x", u""};
    ConvertOptions options = Options(c.source, c.target, c.keepBackup);
    options.applyRules = true;
    const Status result = ConvertFile(file, options, rules);

    EXPECT_EQ(result.code, c.expected) << result.message;
    EXPECT_FALSE(result.message.empty());
    EXPECT_EQ(dir.Entries(), before);
    if (std::filesystem::is_regular_file(file)) {
        EXPECT_EQ(ReadFile(file), Bytes(c.content));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ConvertFileFailure,
    ::testing::Values(
        FailureCase{"EmptyFile", "", EncodingId::Gb, EncodingId::Utf8, true, StatusCode::Empty},
        FailureCase{"BomAlone", "\xEF\xBB\xBF", EncodingId::Utf8, EncodingId::Gb, true, StatusCode::Empty},
        FailureCase{"MissingFile", "<none>", EncodingId::Gb, EncodingId::Utf8, true, StatusCode::NotFound},
        FailureCase{"FolderAtPath", "<folder>", EncodingId::Gb, EncodingId::Utf8, true, StatusCode::NotFound},
        FailureCase{"InvalidGbBytes", "ab\x81\x20", EncodingId::Gb, EncodingId::Utf8, true, StatusCode::InvalidBytes},
        FailureCase{"InvalidUtf8Bytes", "ab\xC0\x80", EncodingId::Utf8, EncodingId::Gb, false,
                    StatusCode::InvalidBytes},
        FailureCase{"TruncatedBig5Pair", "ab\xA4", EncodingId::Big5, EncodingId::Gb, true, StatusCode::InvalidBytes},
        FailureCase{"DeclaredGbButAlreadyUtf8", "\xE7\xAE\x80\xE4\xBD\x93 page", EncodingId::Gb, EncodingId::Big5, true,
                    StatusCode::AlreadyUtf8},
        FailureCase{"RulesEmptiedGbText", "xx", EncodingId::Gb, EncodingId::Gb, true, StatusCode::EmptyResult},
        FailureCase{"RulesEmptiedBig5Text", "x", EncodingId::Utf8, EncodingId::Big5, false, StatusCode::EmptyResult}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ConvertFile, InvalidBytesNameTheirOffset)
{
    TempDir dir;
    WriteFile(dir / "a.htm", "abc\x81");
    const Status result = ConvertFile(dir / "a.htm", Options(EncodingId::Gb, EncodingId::Utf8), RuleTable());
    EXPECT_NE(result.message.find("offset 3"), std::string::npos) << result.message;
}

TEST(ConvertFile, ReadOnlySourceWithoutBackupFailsEvenForRoot)
{
    TempDir dir;
    const auto file = dir / "a.htm";
    WriteFile(file, kGbJianTi);
    ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
    const Status result = ConvertFile(file, Options(EncodingId::Gb, EncodingId::Utf8, false), RuleTable());
    EXPECT_EQ(result.code, StatusCode::Permission);
    EXPECT_EQ(ReadFile(file), Bytes(kGbJianTi));
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"a.htm"});
}

TEST(ConvertFile, FolderAtTheBackupPathBlocksTheConversion)
{
    TempDir dir;
    const auto file = dir / "a.htm";
    WriteFile(file, kGbJianTi);
    std::filesystem::create_directory(dir / "a.htm.bak");
    const Status result = ConvertFile(file, Options(EncodingId::Gb, EncodingId::Utf8), RuleTable());
    EXPECT_EQ(result.code, StatusCode::BackupBlocked);
    EXPECT_EQ(ReadFile(file), Bytes(kGbJianTi));
    EXPECT_TRUE(std::filesystem::is_directory(dir / "a.htm.bak"));
}

TEST(ConvertFile, FifoAtThePathFailsInsteadOfHanging)
{
    TempDir dir;
    ASSERT_EQ(::mkfifo((dir / "pipe.htm").c_str(), 0644), 0);
    EXPECT_EQ(ConvertFile(dir / "pipe.htm", Options(EncodingId::Gb, EncodingId::Utf8), RuleTable()).code,
              StatusCode::NotFound);
}

// The n-th rename (counted from 1) fails, as an I/O error would make it.
class FailingRename : public FileSystemCalls
{
public:
    explicit FailingRename(int failing) : m_failing(failing) {}
    int Rename(const std::filesystem::path& from, const std::filesystem::path& to) const override
    {
        return ++m_calls == m_failing ? EIO : FileSystemCalls::Rename(from, to);
    }

private:
    int m_failing;
    mutable int m_calls = 0;
};

TEST(ConvertFile, FailedRenameLeavesTheSourceAtItsPath)
{
    struct Case
    {
        bool keepBackup;
        int failing; // with a backup: 1 the backup, 2 the new file (then the source is put back)
    };
    for (const Case c : {Case{true, 1}, Case{true, 2}, Case{false, 1}}) {
        SCOPED_TRACE(testing::Message() << "keepBackup " << c.keepBackup << ", rename " << c.failing);
        TempDir dir;
        const auto file = dir / "a.htm";
        WriteFile(file, kGbJianTi);
        const Status result = ConvertFile(file, Options(EncodingId::Gb, EncodingId::Utf8, c.keepBackup), RuleTable(),
                                          FailingRename(c.failing));
        EXPECT_EQ(result.code, StatusCode::WriteFailed);
        EXPECT_EQ(ReadFile(file), Bytes(kGbJianTi));
        EXPECT_EQ(dir.Entries(), std::vector<std::string>{"a.htm"});
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

} // namespace
} // namespace veltran
