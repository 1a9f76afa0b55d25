#pragma once

#include "EventPump.h"
#include "InterruptFlag.h"

namespace veltran {

/// Ctrl-C is the terminal's stop control: it needs no confirmation, and the signal's flag is the only
/// input there is to wait for.
class CliEventPump : public EventPump
{
public:
    bool InputMayBeWaiting() override { return InterruptFlag::IsSet(); }
    void ProcessEvents() override
    {
        if (InterruptFlag::IsSet()) {
            InterruptFlag::Set(false);
            RequestStop();
        }
    }
    bool ConfirmStop() override { return true; }
};

} // namespace veltran
