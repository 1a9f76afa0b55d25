#include "ReadAhead.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <future>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace veltran {
namespace {

namespace fs = std::filesystem;

// A file of `size` bytes in the folder; its path.
fs::path MakeFile(const test::TempDir& dir, const std::string& name, std::size_t size)
{
    test::WriteFile(dir / name, std::string(size, 'x'));
    return dir / name;
}

// Where the record of what was asked for says that the run moved on.
constexpr off_t kRunMovesOn = -1;

// The system's calls, with a record of what reading ahead looked at, opened and asked for. Which files
// are on the disk is up to the test; none is read.
class WatchedCalls : public FileSystemCalls
{
public:
    explicit WatchedCalls(std::function<bool(const std::string& name)> onDisk) : m_onDisk(std::move(onDisk)) {}

    int LinkStat(const fs::path& path, struct stat& info) const override
    {
        Note(looked, path.filename().string());
        if (onLook)
            onLook();
        return FileSystemCalls::LinkStat(path, info);
    }
    int Open(const fs::path& path, int flags) const override
    {
        const int fd = FileSystemCalls::Open(path, flags);
        if (fd >= 0)
            Note(opened, path.filename().string());
        return fd;
    }
    // Reading ahead opens one file at a time: the last opened.
    bool ReadAheadFromDisk(int /*fd*/, off_t length) const override
    {
        if (!m_onDisk(opened.back()))
            return false;
        const std::lock_guard<std::mutex> hold(m_lock);
        asked.push_back(length);
        m_changed.notify_all();
        return true;
    }

    // Wait until reading ahead has looked at `count` entries, or asked for `count` files; false after
    // a minute without.
    bool WaitForLooks(std::size_t count) const { return WaitFor(looked, count); }
    bool WaitForAsked(std::size_t count) const { return WaitFor(asked, count); }

    void NoteRunMovesOn() const
    {
        const std::lock_guard<std::mutex> hold(m_lock);
        asked.push_back(kRunMovesOn);
    }

    std::function<void()> onLook; // called from the reading ahead's thread at each look

    mutable std::vector<std::string> looked;
    mutable std::vector<std::string> opened;
    mutable std::vector<off_t> asked;

private:
    template <typename List> bool WaitFor(const List& list, std::size_t count) const
    {
        std::unique_lock<std::mutex> lock(m_lock);
        return m_changed.wait_for(lock, std::chrono::minutes(1), [&] { return list.size() >= count; });
    }

    void Note(std::vector<std::string>& list, const std::string& name) const
    {
        const std::lock_guard<std::mutex> hold(m_lock);
        list.push_back(name);
        m_changed.notify_all();
    }

    std::function<bool(const std::string&)> m_onDisk;
    mutable std::mutex m_lock;
    mutable std::condition_variable m_changed;
};

TEST(ReadAheadTest, OpensOnlyPlainFilesWithinTheWindowAheadOfTheRun)
{
    test::TempDir dir;
    std::vector<fs::path> entries;
    for (int i = 0; i < 10; ++i)
        entries.push_back(MakeFile(dir, "f" + std::to_string(i), 100));
    // Passed over: a folder, a link, a pipe, a file that is not there, an empty file.
    fs::create_directory(entries[3] = dir / "folder");
    fs::create_symlink(entries[0], entries[5] = dir / "link");
    ASSERT_EQ(mkfifo((entries[6] = dir / "pipe").c_str(), 0600), 0);
    entries[7] = dir / "missing";
    MakeFile(dir, "empty", 0);
    entries[8] = dir / "empty";
    const PathList list(entries);
    const WatchedCalls calls([](const std::string&) { return true; });
    {
        ReadAhead readAhead(list, calls, {.files = 4});
        // The run has taken nothing: the first four entries, and no more.
        ASSERT_TRUE(calls.WaitForLooks(4));
        // The run took the first six: what it took is its own to read.
        readAhead.Reached(5);
        ASSERT_TRUE(calls.WaitForLooks(8));
    }
    EXPECT_EQ(calls.looked, (std::vector<std::string>{"f0", "f1", "f2", "folder", "pipe", "missing", "empty", "f9"}));
    EXPECT_EQ(calls.opened, (std::vector<std::string>{"f0", "f1", "f2", "f9"}));
    EXPECT_EQ(calls.asked, (std::vector<off_t>{100, 100, 100, 100}));
}

TEST(ReadAheadTest, EndsWhereTheRunHasTakenEveryEntry)
{
    test::TempDir dir;
    const PathList list({MakeFile(dir, "f0", 100), MakeFile(dir, "f1", 100), MakeFile(dir, "f2", 100)});
    WatchedCalls calls([](const std::string&) { return true; });
    // The run takes every entry while the first is being looked at.
    std::promise<ReadAhead*> made;
    calls.onLook = [made = made.get_future().share()] { made.get()->Reached(2); };
    {
        ReadAhead readAhead(list, calls, {.files = 1});
        made.set_value(&readAhead);
        ASSERT_TRUE(calls.WaitForAsked(1));
    }
    EXPECT_EQ(calls.looked, (std::vector<std::string>{"f0"}));
}

struct BytesCase
{
    std::vector<std::size_t> sizes;
    std::uintmax_t windowBytes;
    std::size_t askedFirst;   // files asked for before the run moves on
    std::size_t taken;        // the run then takes the files up to this one
    std::vector<off_t> asked; // all asked for, kRunMovesOn where the run moved on
};

class ReadAheadBytes : public ::testing::TestWithParam<BytesCase>
{
};

TEST_P(ReadAheadBytes, AsksForNoMoreThanTheWindowsBytesAhead)
{
    test::TempDir dir;
    std::vector<fs::path> entries;
    for (std::size_t i = 0; i < GetParam().sizes.size(); ++i)
        entries.push_back(MakeFile(dir, "f" + std::to_string(i), GetParam().sizes[i]));
    const PathList list(entries);
    const WatchedCalls calls([](const std::string&) { return true; });
    {
        ReadAhead readAhead(list, calls, {.files = 64, .bytes = GetParam().windowBytes});
        ASSERT_TRUE(calls.WaitForAsked(GetParam().askedFirst));
        calls.NoteRunMovesOn();
        readAhead.Reached(GetParam().taken);
        ASSERT_TRUE(calls.WaitForAsked(GetParam().asked.size()));
    }
    EXPECT_EQ(calls.asked, GetParam().asked);
}

INSTANTIATE_TEST_SUITE_P(
    Windows, ReadAheadBytes,
    ::testing::Values(
        // Files are asked for until the window is full, and again once the run
        // has taken half of them.
        BytesCase{{1000, 1000, 1000, 1000, 1000}, 2500, 3, 1, {1000, 1000, 1000, kRunMovesOn, 1000, 1000}},
        // A file larger than the window is asked for as far as the window goes, and the
        // next ones once the run has taken it.
        BytesCase{{5000, 1000, 1000}, 2500, 1, 0, {2500, kRunMovesOn, 1000, 1000}}));

TEST(ReadAheadTest, RestsWhileTheFilesAreInMemoryAndWakesAtOneOnTheDisk)
{
    test::TempDir dir;
    std::vector<fs::path> entries;
    for (int i = 0; i < 200; ++i)
        entries.push_back(MakeFile(dir, std::to_string(i), 1));
    const PathList list(entries);
    const WatchedCalls calls([](const std::string& name) { return name == "64"; });
    std::vector<std::string> expected;
    auto expect = [&](int from, int to, int step) {
        for (int i = from; i <= to; i += step)
            expected.push_back(std::to_string(i));
    };
    expect(0, 31, 1);   // 32 in memory one after another: resting from here on,
    expect(32, 64, 16); // looking at one file in sixteen, until one is on the disk;
    expect(65, 96, 1);  // every file again, until 32 more are in memory,
    expect(112, 192, 16);
    {
        const ReadAhead readAhead(list, calls, {.files = 1000});
        ASSERT_TRUE(calls.WaitForLooks(expected.size()));
    }
    EXPECT_EQ(calls.looked, expected);
    EXPECT_EQ(calls.asked, (std::vector<off_t>{1}));
}

} // namespace
} // namespace veltran
