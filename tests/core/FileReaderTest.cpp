// The one reader of files the program is given: regular files only, never blocking on a FIFO, within
// a size, with or without following a link, and every failure of the system's calls told.

#include "FileReader.h"

#include "ScriptedFileCalls.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <sys/stat.h>

namespace veltran {
namespace {

namespace fs = std::filesystem;

struct ReadCase
{
    const char* name;
    const char* path; // in a folder holding page.htm (6 bytes), a folder, a FIFO and links
    ReadLimits limits;
    StatusCode code;
    const char* reason;     // what the message holds
    std::string failedCall; // a call of the seam made to fail with EIO, or none
};

void PrintTo(const ReadCase& c, std::ostream* os)
{
    *os << c.name;
}

class FileReaderTest : public ::testing::TestWithParam<ReadCase>
{
};

TEST_P(FileReaderTest, ReadsRegularFilesAndTellsWhyNot)
{
    const ReadCase& c = GetParam();
    test::TempDir dir;
    test::WriteFile(dir / "page.htm", "<p>ok\n");
    fs::create_directory(dir / "folder");
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
    fs::create_symlink("page.htm", dir / "link");
    fs::create_symlink("loop", dir / "loop");
    const test::ScriptedFileCalls calls(
        [&c](const std::string& call, const fs::path&) { return call == c.failedCall ? EIO : 0; });

    const Result<FileContent> read = ReadRegularFile(dir / c.path, c.limits, calls);

    EXPECT_EQ(read.status().code, c.code) << read.status().message;
    EXPECT_NE(read.status().message.find(c.reason), std::string::npos) << read.status().message;
    if (read.ok()) {
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(read->bytes.data()), read->bytes.size()), "<p>ok\n");
    }
}

ReadLimits Largest(std::uint64_t bytes)
{
    ReadLimits limits;
    limits.largest = bytes;
    return limits;
}

ReadLimits NoLinks()
{
    ReadLimits limits;
    limits.followLinks = false;
    return limits;
}

INSTANTIATE_TEST_SUITE_P(
    Files, FileReaderTest,
    ::testing::Values(ReadCase{"RegularFile", "page.htm", {}, StatusCode::Ok, "", ""},
                      ReadCase{"JustLargeEnough", "page.htm", Largest(6), StatusCode::Ok, "", ""},
                      ReadCase{"TooLarge", "page.htm", Largest(5), StatusCode::TooLarge, "larger than 5 bytes", ""},
                      ReadCase{"Missing", "none.htm", {}, StatusCode::NotFound, "not found", ""},
                      ReadCase{"Folder", "folder", {}, StatusCode::Folder, "is a folder", ""},
                      ReadCase{"FifoDoesNotBlock", "pipe", {}, StatusCode::SpecialFile, "FIFO", ""},
                      ReadCase{"LinkFollowed", "link", {}, StatusCode::Ok, "", ""},
                      ReadCase{"LinkRefused", "link", NoLinks(), StatusCode::SymbolicLink, "symbolic link", ""},
                      ReadCase{"LinkLoop", "loop", {}, StatusCode::LinkLoop, "too many levels", ""},
                      ReadCase{"OpenFails", "page.htm", {}, StatusCode::OpenFailed, "Input/output error", "open"},
                      ReadCase{"FstatFails", "page.htm", {}, StatusCode::ReadFailed, "Input/output error", "fstat"},
                      ReadCase{"ReadFails", "page.htm", {}, StatusCode::ReadFailed, "Input/output error", "read-at"}),
    [](const auto& info) { return std::string(info.param.name); });

// A file that grows after its size was taken is read on in steps, each where the one before ended,
// after the hole check has moved the file offset.
TEST(FileReaderGrowthTest, AFileThatGrowsWhileReadIsReadWhole)
{
    test::TempDir dir;
    const fs::path page = dir / "page.htm";
    std::string text = "<p>start\n";
    test::WriteFile(page, text);
    for (int line = 0; text.size() < 200000; ++line)
        text += "<p>line " + std::to_string(line) + "\n";
    bool grown = false;
    const test::ScriptedFileCalls calls([&](const std::string& call, const fs::path&) {
        if (call == "read-at" && !grown) {
            grown = true;
            test::WriteFile(page, text);
        }
        return 0;
    });
    ReadLimits limits = Largest(1 << 20);
    limits.refuseBinary = true;

    const Result<FileContent> read = ReadRegularFile(page, limits, calls);

    ASSERT_TRUE(read.ok()) << read.status().message;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(read->bytes.data()), read->bytes.size()), text);
}

} // namespace
} // namespace veltran
