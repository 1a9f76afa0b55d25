#pragma once

#include "EventPump.h"
#include "InterruptFlag.h"

namespace veltran {

/// Ctrl-C, SIGTERM and SIGHUP are the terminal's stop controls: they need no confirmation, and the
/// signal's flag is the only input there is to wait for.
class CliEventPump : public EventPump
{
public:
    bool InputMayBeWaiting() override { return InterruptFlag::Pending() != 0; }
    void ProcessEvents() override
    {
        if (const int signal = InterruptFlag::Take(); signal != 0) {
            m_stopSignal = signal;
            RequestStop();
        }
    }
    bool ConfirmStop() override { return true; }

    /// The signal that stopped the run, or 0.
    int StopSignal() const { return m_stopSignal; }

private:
    int m_stopSignal = 0;
};

} // namespace veltran
