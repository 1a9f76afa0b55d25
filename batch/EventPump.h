#pragma once

namespace veltran {

/// Lets a host handle its input during long work on its own thread (the window's folder scan), and
/// holds that work's stop flag. The stop controls (a button, Escape) set the flag while the pump
/// handles events; the work reads it.
class EventPump
{
public:
    virtual ~EventPump() = default;

    /// Whether input may be waiting, so that handling events now is worth its cost.
    virtual bool InputMayBeWaiting() = 0;
    /// Handles pending events once; the stop controls and closing the program act here.
    virtual void ProcessEvents() = 0;

    bool StopRequested() const { return m_stopRequested; }
    void RequestStop() { m_stopRequested = true; }
    void ClearStop() { m_stopRequested = false; }

    /// The program is closing: the work ends at its next look at the flag.
    bool Abandoned() const { return m_abandoned; }
    void Abandon() { m_abandoned = true; }

private:
    bool m_stopRequested = false;
    bool m_abandoned = false;
};

} // namespace veltran
