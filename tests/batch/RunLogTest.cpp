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
    EXPECT_NE(result.message.find("Veltran.log"), std::string::npos) << result.message;
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
