#pragma once

#include "InterruptFlag.h"
#include "RunControl.h"

#include <csignal>
#include <cstddef>

namespace veltran {

/// Ctrl-C, SIGTERM and SIGHUP are the terminal's stop controls: they need no confirmation, and the
/// signal's flag is the only input there is to wait for.
class CliRunControl : public RunControl
{
public:
    /// `stopAfterFiles` > 0 raises `stopSignal` once that many files have started, before the next
    /// one may, the way a Ctrl-C or a kill would arrive (a hook for tests of the stop path).
    CliRunControl(std::size_t stopAfterFiles, int stopSignal)
        : m_stopAfterFiles(stopAfterFiles), m_stopSignal(stopSignal)
    {
    }

    Step BeforeFile(std::size_t index) override
    {
        if (m_stopAfterFiles > 0 && index == m_stopAfterFiles) {
            m_stopAfterFiles = 0;
            std::raise(m_stopSignal);
        }
        if (const int signal = InterruptFlag::Take(); signal != 0)
            m_stopped = signal;
        return m_stopped != 0 ? Step::Stop : Step::Start;
    }

    /// The signal that stopped the run, or 0.
    int StopSignal() const { return m_stopped; }

private:
    std::size_t m_stopAfterFiles;
    int m_stopSignal;
    int m_stopped = 0;
};

} // namespace veltran
