#include "ReadAhead.h"

#include <algorithm>
#include <cerrno>
#include <exception>
#include <fcntl.h>
#include <unistd.h>

namespace veltran {

namespace {

// Files found in memory one after another before the reading ahead rests, looking at only one
// file in kRestingStride.
constexpr std::size_t kInMemoryBeforeResting = 32;
constexpr std::size_t kRestingStride = 16;

} // namespace

ReadAhead::ReadAhead(const PathList& entries, const FileSystemCalls& calls, ReadAheadWindow window)
    : m_entries(entries), m_calls(calls), m_window{std::max<std::size_t>(window.files, 1), window.bytes},
      m_sizes(m_window.files, 0), m_thread([this] { Work(); })
{
}

ReadAhead::~ReadAhead()
{
    m_ending = true;
    {
        const std::lock_guard<std::mutex> hold(m_lock);
        m_moved.notify_one();
    }
    m_thread.join();
}

void ReadAhead::Reached(std::size_t index)
{
    // Threads that take entries by turns may tell them slightly out of order.
    std::size_t reached = m_reached.load();
    while (reached < index + 1 && !m_reached.compare_exchange_weak(reached, index + 1)) {
    }
    // One wake for half a window of files, not a call into the system for each.
    if (m_waiting.load() && index + 1 >= m_wakeAt.load() && m_waiting.exchange(false)) {
        const std::lock_guard<std::mutex> hold(m_lock);
        m_moved.notify_one();
    }
}

bool ReadAhead::WaitForRoom(std::size_t& next)
{
    std::unique_lock<std::mutex> lock(m_lock);
    for (;;) {
        if (m_ending)
            return false;
        const std::size_t reached = m_reached.load();
        // What the run has taken it reads itself, whether or not it was read ahead.
        for (; m_first < std::min(reached, next); ++m_first)
            m_bytesAhead -= m_sizes[m_first % m_window.files];
        if (next < reached)
            next = m_first = reached;
        if (next >= m_entries.size())
            return false;
        if (next - reached < m_window.files && m_bytesAhead < m_window.bytes)
            return true;
        // Once the run has taken half of what is read ahead: half the window's files, or the one
        // large file that filled its bytes.
        m_wakeAt = reached + (next - reached) / 2 + 1;
        m_waiting = true;
        // Checked again once waiting is known to the run, which may have moved on meanwhile.
        if (m_reached.load() != reached) {
            m_waiting = false;
            continue;
        }
        m_moved.wait(lock);
        m_waiting = false;
    }
}

ReadAhead::Found ReadAhead::ReadOne(std::size_t index) const
{
    // Only plain files are opened: opening a device may do something of its own.
    struct stat info = {};
    if (m_calls.LinkStat(m_entries[index], info) != 0 || !S_ISREG(info.st_mode) || info.st_size <= 0)
        return {};
    // A file the run never reaches (it stops first) keeps its time of access, where the system allows.
    constexpr int kFlags = O_RDONLY | O_NOFOLLOW | O_NONBLOCK;
    int fd = m_calls.Open(m_entries[index], kFlags | O_NOATIME);
    if (fd == -EPERM)
        fd = m_calls.Open(m_entries[index], kFlags);
    if (fd < 0)
        return {};
    Found found;
    const auto length = std::min<std::uintmax_t>(static_cast<std::uintmax_t>(info.st_size), m_window.bytes);
    found.onDisk = m_calls.ReadAheadFromDisk(fd, static_cast<off_t>(length));
    found.bytes = found.onDisk ? length : 0;
    found.looked = true;
    ::close(fd);
    return found;
}

void ReadAhead::Work()
{
    std::size_t inMemory = 0; // files found in memory one after another
    try {
        for (std::size_t next = 0; WaitForRoom(next); ++next) {
            // Where the files are in memory already, looking costs more than it brings: a few looks
            // tell when that changes.
            Found found;
            if (inMemory < kInMemoryBeforeResting || next % kRestingStride == 0) {
                found = ReadOne(next);
                if (found.looked)
                    inMemory = found.onDisk ? 0 : inMemory + 1;
            }
            const std::lock_guard<std::mutex> hold(m_lock);
            m_sizes[next % m_window.files] = found.bytes;
            m_bytesAhead += found.bytes;
        }
    } catch (const std::exception&) {
        // Out of memory for a path: the run goes on without reading ahead.
    }
}

} // namespace veltran
