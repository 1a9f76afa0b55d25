#include "PathList.h"

#include <gtest/gtest.h>

namespace veltran {
namespace {

namespace fs = std::filesystem;

// Lists built by pushing, by appending other lists (empty ones included) and from a vector must give
// back every path with its bytes, in order.
TEST(PathListTest, GivesBackEveryPathAsGivenInOrder)
{
    const std::vector<fs::path> paths{"site/index.htm", "", "/abs/\xD6\xD0\xCE\xC4.htm", "a b/c\\d", "x"};
    PathList appended;
    appended.Append(PathList{});
    appended.Append(PathList{paths[0], paths[1]});
    appended.Append(PathList{});
    PathList rest;
    for (std::size_t i = 2; i < paths.size(); ++i)
        rest.push_back(paths[i]);
    appended.Append(rest);

    for (const PathList& list : {PathList(paths), appended}) {
        ASSERT_EQ(list.size(), paths.size());
        EXPECT_EQ(std::vector<fs::path>(list.begin(), list.end()), paths);
        for (std::size_t i = 0; i < paths.size(); ++i)
            EXPECT_EQ(list.Native(i), paths[i].native()) << i;
        EXPECT_EQ(list.front(), paths.front());
        EXPECT_EQ(list.back(), paths.back());
    }
    EXPECT_EQ(PathList(paths), appended);
}

} // namespace
} // namespace veltran
