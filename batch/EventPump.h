#pragma once

namespace veltran {

/// Lets the host handle its input between two files, and holds the run's one stop flag. The stop
/// controls (a button, Escape, Ctrl-C) set the flag while the pump handles events; the run reads it.
class EventPump
{
public:
    virtual ~EventPump() = default;

    /// Whether input may be waiting, so that handling events now is worth its cost.
    virtual bool InputMayBeWaiting() = 0;
    /// Handles pending events once; the stop controls and closing the program act here.
    virtual void ProcessEvents() = 0;
    /// Asks whether to stop; true stops the run before the current entry.
    virtual bool ConfirmStop() = 0;

    bool StopRequested() const { return m_stopRequested; }
    void RequestStop() { m_stopRequested = true; }
    void ClearStop() { m_stopRequested = false; }

    /// The program is closing: the run ends before the next file and writes no log.
    bool Abandoned() const { return m_abandoned; }
    void Abandon() { m_abandoned = true; }

private:
    bool m_stopRequested = false;
    bool m_abandoned = false;
};

} // namespace veltran
