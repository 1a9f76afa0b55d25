#include "FileListModel.h"
#include "ListCommands.h"

#include <gtest/gtest.h>

namespace veltran {
namespace {

namespace fs = std::filesystem;

FileListModel ListOf(std::size_t count, const std::vector<std::size_t>& selected)
{
    FileListModel list;
    std::vector<fs::path> paths;
    for (std::size_t i = 0; i < count; ++i)
        paths.push_back("/site/" + std::to_string(i) + ".htm");
    list.Append(paths);
    for (const std::size_t index : selected)
        list.SetSelected(index, true);
    return list;
}

std::vector<std::string> Names(const FileListModel& list)
{
    std::vector<std::string> names;
    for (const fs::path& path : list.Paths())
        names.push_back(path.stem().string());
    return names;
}

struct RemoveCase
{
    const char* name;
    std::size_t count;
    std::vector<std::size_t> selected;
    bool invert;
    std::vector<std::string> left;
    std::size_t selectedLeft;
};

class RemoveEntriesTest : public ::testing::TestWithParam<RemoveCase>
{
};

TEST_P(RemoveEntriesTest, KeepsTheOthersInOrder)
{
    const RemoveCase& c = GetParam();
    FileListModel list = ListOf(c.count, c.selected);
    RemoveEntries(list, c.invert);
    EXPECT_EQ(Names(list), c.left);
    EXPECT_EQ(list.SelectedCount(), c.selectedLeft);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RemoveEntriesTest,
    ::testing::Values(RemoveCase{"SelectedOneThreeFourOfSix", 6, {1, 3, 4}, false, {"0", "2", "5"}, 0},
                      RemoveCase{"UnselectedOfSix", 6, {1, 3, 4}, true, {"1", "3", "4"}, 3},
                      RemoveCase{"UnselectedWithNoneSelectedEmptiesTheList", 3, {}, true, {}, 0},
                      RemoveCase{"AllSelected", 3, {0, 1, 2}, false, {}, 0},
                      RemoveCase{"NothingSelected", 3, {}, false, {"0", "1", "2"}, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FileListModelTest, DuplicatesStayAndTheCurrentEntryIsNotTheSelection)
{
    FileListModel list = ListOf(3, {0});
    list.Append({"/site/1.htm"});
    EXPECT_EQ(Names(list), (std::vector<std::string>{"0", "1", "2", "1"}));
    list.SetCurrentIndex(2);
    EXPECT_EQ(list.CurrentIndex(), 2u);
    EXPECT_FALSE(list.IsSelected(2));

    // The current entry moves with its entry, and is gone when its entry is.
    list.Remove({0});
    EXPECT_EQ(list.CurrentIndex(), 1u);
    EXPECT_EQ(list.SelectedCount(), 0u);
    list.Remove({1});
    EXPECT_EQ(list.CurrentIndex(), std::nullopt);
}

} // namespace
} // namespace veltran
