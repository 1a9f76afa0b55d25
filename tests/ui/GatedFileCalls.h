#pragma once

#include "FileSystemCalls.h"

#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <string>

namespace veltran::test {

/// The system's file-system calls, except that opening the file with the given name waits until the
/// test lets it through: a run's thread is held at a known file, so that a test of the window can
/// act while that file converts. The gate must outlive the run, and be released before it ends.
class GatedFileCalls : public FileSystemCalls
{
public:
    explicit GatedFileCalls(std::string fileName) : m_fileName(std::move(fileName)) {}

    int Open(const std::filesystem::path& path, int flags) const override
    {
        if (path.filename() == m_fileName) {
            std::unique_lock<std::mutex> lock(m_lock);
            m_reached = true;
            m_changed.wait(lock, [this] { return m_released; });
        }
        return FileSystemCalls::Open(path, flags);
    }

    /// Whether a run is waiting at the gate, or went through it.
    bool Reached() const
    {
        const std::lock_guard<std::mutex> lock(m_lock);
        return m_reached;
    }

    void Release()
    {
        const std::lock_guard<std::mutex> lock(m_lock);
        m_released = true;
        m_changed.notify_all();
    }

private:
    std::string m_fileName;
    mutable std::mutex m_lock;
    mutable std::condition_variable m_changed;
    mutable bool m_reached = false;
    bool m_released = false;
};

} // namespace veltran::test
