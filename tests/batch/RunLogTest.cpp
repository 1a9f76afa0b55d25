#include "RunLog.h"

#include "TempDir.h"
#include "WithoutRoot.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

namespace veltran {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

std::string ReadAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::size_t EntryCount(const TempDir& folder)
{
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder.Path()), {}));
}

// Whole runs check the entry texts; this adds the header of a source group with no option set.
TEST(RunLogTest, SourceWithoutNameLeavesItsPlaceEmpty)
{
    RunLog log;
    log.AddHeader("", "BIG5", "T0");
    log.AddCompletion("T1");
    EXPECT_EQ(log.Text(), "<Veltran 运行日志>\r\n开始时间：T0\r\n执行操作： --> BIG5\r\n\r\n\r\n完成时间：T1");
}

// A name with a line break would forge a log entry, and bytes that are not UTF-8 would make the log
// unreadable as text: both are escaped.
TEST(RunLogTest, OddBytesInNamesAreEscapedSoEachEntryIsOneLineOfUtf8)
{
    RunLog log;
    log.AddFailure("dir/a\n\xE5\xA4\xB1\xE8\xB4\xA5\xFF.htm");
    log.AddStop("b\r\xE4\xB8\xAD\t.htm", "T");
    EXPECT_EQ(log.Text(),
              "处理失败：dir/a\\n失败\\xFF.htm\r\n*** 处理过程被用户终止于 ***\r\nb\\r中\\t.htm\r\n\r\n终止时间：T");
}

TEST(WriteRunLogTest, WritesTheBytesAndReplacesALongerPreviousLog)
{
    TempDir folder;
    const fs::path logPath = folder.Path() / "Veltran.log";
    ASSERT_TRUE(WriteRunLog(logPath, std::string(5000, 'x')).ok());
    const std::string second = "<Veltran 运行日志>\r\n完成时间：T";
    const Status result = WriteRunLog(logPath, second);
    EXPECT_TRUE(result.ok()) << result.message;
    EXPECT_EQ(ReadAll(logPath), second);
    EXPECT_EQ(EntryCount(folder), 1u) << "a temporary file was left behind";
}

TEST(WriteRunLogTest, ParentThatIsAFileIsReportedWithItsReason)
{
    TempDir folder;
    const fs::path notAFolder = folder.Path() / "plain";
    std::ofstream(notAFolder) << "x";
    const Status result = WriteRunLog(notAFolder / "Veltran.log", "text");
    EXPECT_FALSE(result.ok());
    EXPECT_NE(result.message.find("Not a directory"), std::string::npos) << result.message;
}

TEST(WriteRunLogTest, LogPathHeldByAFolderFailsWithoutLeavingATemporaryFile)
{
    TempDir folder;
    fs::create_directory(folder.Path() / "Veltran.log");
    const Status result = WriteRunLog(folder.Path() / "Veltran.log", "text");
    EXPECT_FALSE(result.ok());
    EXPECT_EQ(result.code, StatusCode::CannotPlaceNewFile) << result.message;
    EXPECT_EQ(EntryCount(folder), 1u);
}

TEST(WriteRunLogTest, ReadOnlyFolderKeepsThePreviousLogWhole)
{
    TempDir folder;
    const fs::path logPath = folder.Path() / "Veltran.log";
    ASSERT_TRUE(WriteRunLog(logPath, "previous").ok());
    fs::permissions(folder.Path(), fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                       fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
    const std::optional<std::string> error = test::RunWithoutRoot([&] { return WriteRunLog(logPath, "next").message; });
    if (!error)
        GTEST_SKIP() << "cannot write without root rights here";
    EXPECT_NE(error->find("Permission denied"), std::string::npos) << *error;
    EXPECT_EQ(ReadAll(logPath), "previous");
}

} // namespace
} // namespace veltran
