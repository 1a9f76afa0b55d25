#include "FindFiles.h"
#include "DeepTree.h"
#include "ScriptedFileCalls.h"
#include "TempTree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include <cerrno>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace veltran {
namespace {

namespace fs = std::filesystem;
using test::TempTree;

std::vector<std::string> RelativeNames(const PathList& paths, const fs::path& root)
{
    std::vector<std::string> names;
    for (const fs::path& path : paths)
        names.push_back(path.lexically_relative(root).native());
    return names;
}

std::vector<std::string> Sorted(std::vector<std::string> names)
{
    std::sort(names.begin(), names.end());
    return names;
}

struct FilterScanCase
{
    const char* label;
    std::string filter;
    std::vector<std::string> expected; // sorted
};

void PrintTo(const FilterScanCase& scan, std::ostream* out)
{
    *out << scan.label;
}

class FindFilesFilterTest : public ::testing::TestWithParam<FilterScanCase>
{
protected:
    FindFilesFilterTest()
    {
        for (const char* name : {"index.htm", "INDEX2.Htm", "page.html", "a.txt", " b.txt", "README", ".hidden.htm"})
            m_tree.AddFile(name);
        m_tree.AddFolder("folder.htm");
    }

    TempTree m_tree;
};

TEST_P(FindFilesFilterTest, FindsExactlyTheMatchingFiles)
{
    const FindFilesResult result = FindFiles(m_tree.Root(), GetParam().filter);
    EXPECT_EQ(Sorted(RelativeNames(result.files, m_tree.Root())), GetParam().expected);
    EXPECT_TRUE(result.failures.empty());
}

const FilterScanCase kFilterScans[] = {
    {"HtmFindsBothCasesAndHiddenButNoFolder", "*.htm", {".hidden.htm", "INDEX2.Htm", "index.htm"}},
    {"SpacedSecondPatternNeedsSpacedName",
     NormalizeFilter("*.htm; *.txt"),
     {" b.txt", ".hidden.htm", "INDEX2.Htm", "index.htm"}},
    {"TypedSeparatorsGiveThreePatterns", NormalizeFilter("*.txt;*.html,*.xml"), {" b.txt", "a.txt", "page.html"}},
    {"FileMatchingTwoPatternsListedOnce", "*.txt|a.*", {" b.txt", "a.txt"}},
    {"StarDotStarSkipsUndottedName", "*.*", {" b.txt", ".hidden.htm", "INDEX2.Htm", "a.txt", "index.htm", "page.html"}},
    {"EmptyPiecesFindNothingMore", "|*.html|", {"page.html"}},
    {"EmptyFilterFindsNothing", "", {}},
    {"NoMatchGivesEmptyList", "*.php", {}},
};

INSTANTIATE_TEST_SUITE_P(Filters, FindFilesFilterTest, ::testing::ValuesIn(kFilterScans),
                         [](const ::testing::TestParamInfo<FilterScanCase>& info) {
                             return std::string(info.param.label);
                         });

// Files made in an order unlike the name order, so the file system's own listing order cannot pass.
TEST(FindFilesTest, ListsFolderByFolderLevelAfterLevelInNameOrder)
{
    TempTree tree;
    for (const char* name :
         {"r10.txt", "C/D/d.txt", "c/B/b.txt", "R2.txt", "A/a.txt", "C/c.txt", "r1.txt", "A/B/b.txt"})
        tree.AddFile(name);
    const FindFilesResult result = FindFiles(tree.Root(), "*.txt");
    EXPECT_EQ(RelativeNames(result.files, tree.Root()),
              (std::vector<std::string>{"r1.txt", "R2.txt", "r10.txt", "A/a.txt", "C/c.txt", "A/B/b.txt", "C/D/d.txt",
                                        "c/B/b.txt"}));
}

TEST(FindFilesTest, ScanningTwiceGivesTheSameList)
{
    TempTree tree;
    for (const char* name : {"x.htm", "S/y.htm", "S/T/z.htm", "U/w.htm"})
        tree.AddFile(name);
    const FindFilesResult first = FindFiles(tree.Root(), "*.htm");
    const FindFilesResult second = FindFiles(tree.Root(), "*.htm");
    EXPECT_EQ(first.files.size(), 4u);
    EXPECT_EQ(first.files, second.files);
}

TEST(FindFilesTest, LinksToFoldersAreNeitherFollowedNorListed)
{
    TempTree tree;
    tree.AddFile("A/a.txt");
    tree.AddLink("A/loop.txt", "..");
    tree.AddLink("self.txt", ".");
    const FindFilesResult result = FindFiles(tree.Root(), "*.txt");
    EXPECT_EQ(RelativeNames(result.files, tree.Root()), std::vector<std::string>{"A/a.txt"});
}

// A link to a file would let the scan reach a file twice, or one outside the folders given.
TEST(FindFilesTest, LinksToFilesAreNotListed)
{
    TempTree tree;
    tree.AddFile("data/real.txt");
    tree.AddLink("alias.txt", "data/real.txt");
    tree.AddLink("outside.txt", "/etc/hostname");
    tree.AddLink("dead.txt", "data/missing.txt");
    const FindFilesResult result = FindFiles(tree.Root(), "*.txt");
    EXPECT_EQ(RelativeNames(result.files, tree.Root()), std::vector<std::string>{"data/real.txt"});
}

TEST(FindFilesTest, NameThatIsNotUtf8KeepsItsBytes)
{
    TempTree tree;
    const std::string latin1Name = "caf\xE9.txt";
    tree.AddFile(latin1Name);
    tree.AddFile("\xD6\xD0\xCE\xC4.htm"); // GB bytes: no lead byte here is followed by a valid continuation
    const FindFilesResult result = FindFiles(tree.Root(), "*.txt|????.htm");
    EXPECT_EQ(Sorted(RelativeNames(result.files, tree.Root())), Sorted({latin1Name, "\xD6\xD0\xCE\xC4.htm"}));
    for (const fs::path& path : result.files)
        EXPECT_TRUE(fs::exists(path)) << "path bytes were altered: " << path.native();
}

TEST(FindFilesTest, ProgressIsToldPerFolderAndCanEndTheScan)
{
    TempTree tree;
    tree.AddFile("a.htm");
    tree.AddFile("one/b.htm");
    tree.AddFile("one/two/c.htm");
    std::vector<std::size_t> counts;
    const FindFilesResult all = FindFiles(tree.Root(), "*.htm", [&counts](std::size_t found, const fs::path&) {
        counts.push_back(found);
        return true;
    });
    EXPECT_EQ(counts, (std::vector<std::size_t>{1, 2, 3}));
    EXPECT_FALSE(all.stopped);

    const FindFilesResult stopped =
        FindFiles(tree.Root(), "*.htm", [](std::size_t found, const fs::path&) { return found < 2; });
    EXPECT_TRUE(stopped.stopped);
    EXPECT_EQ(RelativeNames(stopped.files, tree.Root()), (std::vector<std::string>{"a.htm", "one/b.htm"}));
}

// Nothing the scan cannot search or examine vanishes: a folder that cannot be listed, and a name the
// filter asks for whose kind cannot be found out, fail with their reason and the scan goes on. The
// seam refuses as the kernel would refuse a user who is not root.
struct ScanFailureCase
{
    const char* name;
    const char* refusedCall; // "list" or "lstat", refused with `error` for "locked" or its names
    bool namesInLocked;      // the names in "locked" are refused, not "locked" itself
    int error;
    bool untyped;                      // the listing does not say what its names are, as on some file systems
    std::vector<std::string> files;    // found, relative to the root
    std::vector<std::string> failures; // "<relative path>: <reason>"
};

void PrintTo(const ScanFailureCase& c, std::ostream* out)
{
    *out << c.name;
}

// A listing that leaves every name's kind unknown, as some file systems do.
class UntypedListing : public test::ScriptedFileCalls
{
public:
    using ScriptedFileCalls::ScriptedFileCalls;
    int ListFolder(const fs::path& folder, std::vector<FolderEntry>& entries) const override
    {
        const int error = ScriptedFileCalls::ListFolder(folder, entries);
        for (FolderEntry& entry : entries)
            entry.type = DT_UNKNOWN;
        return error;
    }
};

class FindFilesFailureTest : public ::testing::TestWithParam<ScanFailureCase>
{
};

TEST_P(FindFilesFailureTest, WhatCannotBeExaminedFailsWithItsReason)
{
    const ScanFailureCase& c = GetParam();
    TempTree tree;
    for (const char* name :
         {"before.txt", "locked/page.txt", "locked/skip.bin", "locked/inner/deep.txt", "open/after.txt"})
        tree.AddFile(name);
    const fs::path locked = tree.Root() / "locked";
    const auto hook = [&](const std::string& call, const fs::path& path) {
        const bool refused = c.namesInLocked ? path.parent_path() == locked : path == locked;
        return call == c.refusedCall && refused ? c.error : 0;
    };
    const test::ScriptedFileCalls typed(hook);
    const UntypedListing untyped(hook);
    const FindFilesResult result =
        FindFiles(tree.Root(), "*.txt", {}, c.untyped ? static_cast<const FileSystemCalls&>(untyped) : typed);
    EXPECT_EQ(RelativeNames(result.files, tree.Root()), c.files);
    std::vector<std::string> failures;
    for (const ScanFailure& failure : result.failures)
        failures.push_back(failure.path.lexically_relative(tree.Root()).native() + ": " + failure.reason.message);
    EXPECT_EQ(failures, c.failures);
}

const ScanFailureCase kScanFailures[] = {
    {"FolderThatCannotBeOpened",
     "list",
     false,
     EACCES,
     false,
     {"before.txt", "open/after.txt"},
     {"locked: permission denied"}},
    // Listed but not searched: its files are listed, to fail in the run; its folders cannot be listed.
    {"FolderThatCannotBeSearched",
     "list",
     true,
     EACCES,
     false,
     {"before.txt", "locked/page.txt", "open/after.txt"},
     {"locked/inner: permission denied"}},
    {"UntypedNamesThatCannotBeExamined",
     "lstat",
     true,
     EACCES,
     true,
     {"before.txt", "open/after.txt"},
     {"locked/page.txt: permission denied"}},
    {"UntypedNamesTooLong",
     "lstat",
     true,
     ENAMETOOLONG,
     true,
     {"before.txt", "open/after.txt"},
     {"locked/page.txt: cannot open: File name too long"}},
    {"FolderTooLongToList",
     "list",
     false,
     ENAMETOOLONG,
     false,
     {"before.txt", "open/after.txt"},
     {"locked: cannot open: File name too long"}},
    {"UntypedNameGoneSinceTheListing", "lstat", true, ENOENT, true, {"before.txt", "open/after.txt"}, {}},
};

INSTANTIATE_TEST_SUITE_P(Failures, FindFilesFailureTest, ::testing::ValuesIn(kScanFailures),
                         [](const ::testing::TestParamInfo<ScanFailureCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(FindFilesTest, MissingOrNonFolderStartFails)
{
    TempTree tree;
    for (const fs::path& start : {tree.Root() / "absent", tree.AddFile("plain.txt")}) {
        const FindFilesResult result = FindFiles(start, "*");
        EXPECT_TRUE(result.files.empty()) << start;
        ASSERT_EQ(result.failures.size(), 1u) << start;
        EXPECT_EQ(result.failures[0].path, start);
    }
}

// A page 4,450 bytes deep cannot be named whole: the scan tells where it stops rather than find
// nothing.
TEST(FindFilesTest, PageDeeperThanThePathLimitFails)
{
    TempTree tree;
    const test::DeepTree deep(tree.AddFolder("site"), 4450, "page.htm", "x");
    const FindFilesResult result = FindFiles(tree.Root() / "site", "*.htm");
    EXPECT_TRUE(result.files.empty());
    ASSERT_EQ(result.failures.size(), 1u);
    EXPECT_EQ(result.failures[0].reason.message, "cannot open: File name too long");
    EXPECT_GT(result.failures[0].path.native().size(), 4095u);
}

// What the scan lists around backups and the staged files of killed runs.
TEST(FindFilesTest, LoneBackupsStandForTheirPagesAndStraysAreSetApart)
{
    TempTree tree;
    for (const char* name : {"kept.htm", "kept.htm.bak", "lone.htm.bak", "numbered.htm.bak.~2~", "numbered.htm.bak.~3~",
                             "other.txt.bak", "sub/.page.htm.veltran-Ab3dE9", ".a.htm.veltran-short", "x.htm.bak.~01~"})
        tree.AddFile(name);
    tree.AddFolder("folder.htm.bak");
    const FindFilesResult result = FindFiles(tree.Root(), "*.htm|*.bak");
    EXPECT_EQ(RelativeNames(result.files, tree.Root()),
              (std::vector<std::string>{"kept.htm", "kept.htm.bak", "lone.htm", "numbered.htm", "other.txt.bak"}));
    EXPECT_EQ(RelativeNames(result.strays, tree.Root()), std::vector<std::string>{"sub/.page.htm.veltran-Ab3dE9"});
}

} // namespace
} // namespace veltran
