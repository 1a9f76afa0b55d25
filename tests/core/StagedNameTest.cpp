#include "StagedFile.h"

#include <gtest/gtest.h>

#include <string>

namespace veltran {
namespace {

// The staged name sits in the file's own folder, hidden, keeps the start of the file's name, and is one
// that a later run recognises as a stray of ours.
TEST(TemporaryNameBeside, NamesAHiddenRecognisableFileInTheSameFolder)
{
    const std::string longName(300, 'x');
    struct Case
    {
        std::string path;
        std::string folder; // what the staged path starts with
        std::string kept;   // of the file's name
    };
    for (const Case& c : {Case{"site/a.htm", "site/", "a.htm"}, Case{"/a.htm", "/", "a.htm"},
                          Case{"a.htm", "", "a.htm"}, Case{"site/" + longName, "site/", longName.substr(0, 200)}}) {
        const std::string staged = TemporaryNameBeside(c.path).string();
        ASSERT_EQ(staged.substr(0, c.folder.size()), c.folder) << c.path;
        const std::string name = staged.substr(c.folder.size());
        EXPECT_EQ(name.find('/'), std::string::npos) << staged;
        EXPECT_EQ(name.substr(0, 1 + c.kept.size()), "." + c.kept) << staged;
        EXPECT_EQ(name.size(), 1 + c.kept.size() + std::string(".veltran-").size() + 6) << staged;
        EXPECT_TRUE(IsStagedName(name)) << staged;
    }
    EXPECT_NE(TemporaryNameBeside("a.htm"), TemporaryNameBeside("a.htm"));
}

} // namespace
} // namespace veltran
