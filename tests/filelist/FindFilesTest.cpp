#include "FindFiles.h"
#include "TempTree.h"
#include "WithoutRoot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include <unistd.h>

namespace veltran {
namespace {

namespace fs = std::filesystem;
using test::TempTree;

std::vector<std::string> RelativeNames(const std::vector<fs::path>& paths, const fs::path& root)
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
    EXPECT_TRUE(result.unreadableFolders.empty());
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

TEST(FindFilesTest, MissingOrNonFolderStartIsReportedUnreadable)
{
    TempTree tree;
    for (const fs::path& start : {tree.Root() / "absent", tree.AddFile("plain.txt")}) {
        const FindFilesResult result = FindFiles(start, "*");
        EXPECT_TRUE(result.files.empty()) << start;
        EXPECT_EQ(result.unreadableFolders, std::vector<fs::path>{start});
    }
}

// The scan's findings as text, one per line: "F" for a file and "U" for an unreadable folder.
std::string ScanToText(const fs::path& folder, std::string_view filter)
{
    const FindFilesResult found = FindFiles(folder, filter);
    std::string text;
    for (const fs::path& path : found.files)
        text += "F" + path.native() + "\n";
    for (const fs::path& path : found.unreadableFolders)
        text += "U" + path.native() + "\n";
    return text;
}

TEST(FindFilesTest, UnreadableFolderIsSkippedAndScanGoesOn)
{
    TempTree tree;
    tree.AddFile("before.txt");
    tree.AddFile("locked/hidden.txt");
    tree.AddFile("open/after.txt");
    const fs::path locked = tree.Root() / "locked";
    fs::permissions(locked, fs::perms::none);

    const std::optional<std::string> text = test::RunWithoutRoot([&] { return ScanToText(tree.Root(), "*.txt"); });
    if (!text)
        GTEST_SKIP() << "cannot run the scan without root rights here";
    FindFilesResult result;
    for (std::size_t start = 0, end; (end = text->find('\n', start)) != std::string::npos; start = end + 1) {
        const fs::path path = text->substr(start + 1, end - start - 1);
        ((*text)[start] == 'F' ? result.files : result.unreadableFolders).push_back(path);
    }
    EXPECT_EQ(Sorted(RelativeNames(result.files, tree.Root())), Sorted({"before.txt", "open/after.txt"}));
    EXPECT_EQ(result.unreadableFolders, std::vector<fs::path>{locked});
}

} // namespace
} // namespace veltran
