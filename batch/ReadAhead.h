#pragma once

#include "FileSystemCalls.h"
#include "PathList.h"

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

namespace veltran {

/// How far ahead of a run its files are read: a number of files, and of their bytes.
struct ReadAheadWindow
{
    std::size_t files = 64;
    std::uintmax_t bytes = std::uintmax_t{32} << 20;
};

/// Asks the system to read the files a run is about to convert, a window ahead of the run, so that
/// where they are on a disk the reading of the next files overlaps the conversion of these. A hint
/// only: it changes nothing, keeps nothing and reports nothing, and passes over whatever is not a
/// plain file or cannot be opened, leaving it to the run. Where the files are in memory already it
/// rests, looking at only a few, so that it takes next to nothing from the run. Its thread has the
/// run's priority: at the lowest, it made a run from the disk slower instead (held up, it seems,
/// while it held locks of a folder that the run's threads then waited for).
class ReadAhead
{
public:
    /// `entries` and `calls` must outlive this object.
    ReadAhead(const PathList& entries, const FileSystemCalls& calls, ReadAheadWindow window = {});
    /// Stops reading ahead and waits for the file at hand.
    ~ReadAhead();
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;

    /// The run took the entry at `index`: the window moves past it, unless a later entry was told
    /// before. Costs the run next to nothing.
    void Reached(std::size_t index);

private:
    void Work();
    // The next entry to read ahead, once the window has room; none when the reading is over.
    bool WaitForRoom(std::size_t& next);
    // What reading ahead the file at an entry found.
    struct Found
    {
        bool looked = false;      // a plain file, opened
        bool onDisk = false;      // not in memory: the system was asked to read it
        std::uintmax_t bytes = 0; // asked for
    };
    Found ReadOne(std::size_t index) const;

    const PathList& m_entries;
    const FileSystemCalls& m_calls;
    const ReadAheadWindow m_window;

    std::atomic<std::size_t> m_reached{0}; // entries before this one the run has taken
    std::atomic<bool> m_waiting{false};    // the thread waits for the run to move on
    std::atomic<std::size_t> m_wakeAt{0};  // the run's position that wakes it
    std::atomic<bool> m_ending{false};
    std::mutex m_lock;
    std::condition_variable m_moved;

    // The thread's own: the entries read ahead the run has not taken, and their bytes.
    std::size_t m_first = 0;
    std::vector<std::uintmax_t> m_sizes; // by index modulo the window's files
    std::uintmax_t m_bytesAhead = 0;

    std::thread m_thread; // last: started once everything above is set
};

} // namespace veltran
