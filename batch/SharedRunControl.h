#pragma once

#include "PerFileOptions.h"
#include "RunControl.h"

#include <atomic>

namespace veltran {

/// A run's control and per-file options set from another thread (the window's) while the run goes
/// on in its own: a hold while a stop question is asked, the stop, the close, and the two boxes
/// read before each file. Every member may be called from any thread at any time.
class SharedRunControl : public RunControl, public PerFileOptions
{
public:
    SharedRunControl(bool applyRules, bool writeBom) : m_applyRules(applyRules), m_writeBom(writeBom) {}

    /// While held, no file starts; the files converting go on.
    void Hold(bool held) { m_held = held; }
    /// No file starts any more; the log ends with the stop entry.
    void Stop() { m_stopped = true; }
    /// No file starts any more, and the run writes no log: the program is closing.
    void Close() { m_closed = true; }
    void SetApplyRules(bool applyRules) { m_applyRules = applyRules; }
    void SetWriteBom(bool writeBom) { m_writeBom = writeBom; }

    /// Close wins over Stop, and Stop over Hold.
    Step BeforeFile(std::size_t /*index*/) override
    {
        if (m_closed)
            return Step::Close;
        if (m_stopped)
            return Step::Stop;
        return m_held ? Step::Hold : Step::Start;
    }
    bool ApplyRules() override { return m_applyRules; }
    bool WriteBom() override { return m_writeBom; }

private:
    std::atomic<bool> m_held{false};
    std::atomic<bool> m_stopped{false};
    std::atomic<bool> m_closed{false};
    std::atomic<bool> m_applyRules;
    std::atomic<bool> m_writeBom;
};

} // namespace veltran
