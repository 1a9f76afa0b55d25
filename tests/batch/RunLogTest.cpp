#include "RunLog.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

namespace veltran {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class TempFolder
{
public:
    TempFolder()
    {
        std::string pattern = (fs::temp_directory_path() / "veltran-runlog-XXXXXX").string();
        m_path = ::mkdtemp(pattern.data());
    }
    ~TempFolder()
    {
        std::error_code ignored;
        fs::permissions(m_path, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(m_path, ignored);
    }
    const fs::path& path() const { return m_path; }
    std::size_t EntryCount() const
    {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(m_path), {}));
    }

private:
    fs::path m_path;
};

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
    TempFolder folder;
    const fs::path logPath = folder.path() / "Veltran.log";
    ASSERT_TRUE(WriteRunLog(logPath, std::string(5000, 'x')).ok());
    const std::string second = "<Veltran 运行日志>\r\n完成时间：T";
    const LogWriteResult result = WriteRunLog(logPath, second);
    EXPECT_TRUE(result.ok()) << result.error;
    EXPECT_EQ(ReadAll(logPath), second);
    EXPECT_EQ(folder.EntryCount(), 1u) << "a temporary file was left behind";
}

TEST(WriteRunLogTest, ParentThatIsAFileIsReportedWithItsReason)
{
    TempFolder folder;
    const fs::path notAFolder = folder.path() / "plain";
    std::ofstream(notAFolder) << "x";
    const LogWriteResult result = WriteRunLog(notAFolder / "Veltran.log", "text");
    EXPECT_FALSE(result.ok());
    EXPECT_NE(result.error.find("Not a directory"), std::string::npos) << result.error;
}

TEST(WriteRunLogTest, LogPathHeldByAFolderFailsWithoutLeavingATemporaryFile)
{
    TempFolder folder;
    fs::create_directory(folder.path() / "Veltran.log");
    const LogWriteResult result = WriteRunLog(folder.path() / "Veltran.log", "text");
    EXPECT_FALSE(result.ok());
    EXPECT_NE(result.error.find("Veltran.log"), std::string::npos) << result.error;
    EXPECT_EQ(folder.EntryCount(), 1u);
}

TEST(WriteRunLogTest, ReadOnlyFolderKeepsThePreviousLogWhole)
{
    TempFolder folder;
    const fs::path logPath = folder.path() / "Veltran.log";
    ASSERT_TRUE(WriteRunLog(logPath, "previous").ok());
    fs::permissions(folder.path(), fs::perms::owner_read | fs::perms::owner_exec);
    if (::access(folder.path().c_str(), W_OK) == 0)
        GTEST_SKIP() << "this user may write into read-only folders";
    const LogWriteResult result = WriteRunLog(logPath, "next");
    EXPECT_FALSE(result.ok());
    EXPECT_NE(result.error.find("Permission denied"), std::string::npos) << result.error;
    EXPECT_EQ(ReadAll(logPath), "previous");
}

} // namespace
} // namespace veltran
