// Only files a killed run staged are removed: never another name, nor what is no regular file, nor
// the file a live run is writing now.
#include "StrayFiles.h"
#include "TempTree.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace veltran {
namespace {

namespace fs = std::filesystem;

struct StrayCase
{
    const char* name;
    const char* stray;   // the path handed to RemoveStray, made as `kind`
    const char* kind;    // "file", "folder" or "link"
    bool pageLocked;     // another run holds the lock of page.htm
    StatusCode expected; // Ok: the stray is gone; otherwise it is still there
};

class RemoveStrayTest : public ::testing::TestWithParam<StrayCase>
{
};

TEST_P(RemoveStrayTest, RemovesOnlyWhatAKilledRunLeft)
{
    const StrayCase& c = GetParam();
    test::TempTree tree;
    const fs::path page = tree.AddFile("page.htm");
    tree.AddFile("target.htm");
    const std::string kind = c.kind;
    const fs::path stray = kind == "folder" ? tree.AddFolder(c.stray)
                           : kind == "link" ? tree.AddLink(c.stray, "target.htm")
                                            : tree.AddFile(c.stray);
    const int held = ::open(page.c_str(), O_RDONLY);
    ASSERT_GE(held, 0);
    if (c.pageLocked) {
        ASSERT_EQ(::flock(held, LOCK_EX | LOCK_NB), 0);
    }

    const Status result = RemoveStray(stray);
    ::close(held);

    EXPECT_EQ(result.code, c.expected) << result.message;
    EXPECT_EQ(fs::exists(fs::symlink_status(stray)), c.expected != StatusCode::Ok);
    EXPECT_TRUE(fs::exists(tree.Root() / "target.htm"));
    EXPECT_TRUE(fs::exists(page));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RemoveStrayTest,
    ::testing::Values(StrayCase{"StagedPage", ".page.htm.veltran-Ab3dE9", "file", false, StatusCode::Ok},
                      StrayCase{"StagedBackupCopy", ".page.htm.bak.veltran-x0X9zZ", "file", false, StatusCode::Ok},
                      StrayCase{"PageOfAStagedFileIsBeingConverted", ".page.htm.veltran-Ab3dE9", "file", true,
                                StatusCode::StagedInUse},
                      StrayCase{"PageOfAStagedBackupIsBeingConverted", ".page.htm.bak.veltran-Ab3dE9", "file", true,
                                StatusCode::StagedInUse},
                      StrayCase{"OtherHiddenName", ".page.htm.veltran-short", "file", false, StatusCode::NotStaged},
                      StrayCase{"Folder", ".page.htm.veltran-Ab3dE9", "folder", false, StatusCode::Folder},
                      StrayCase{"Link", ".page.htm.veltran-Ab3dE9", "link", false, StatusCode::SymbolicLink}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace veltran
