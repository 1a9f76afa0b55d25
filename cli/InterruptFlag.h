#pragma once

namespace veltran {

/// The process-wide Ctrl-C flag: SIGINT only sets it, and the run reads it between files.
class InterruptFlag
{
public:
    /// Installs the SIGINT handler. System calls it interrupts are restarted, so a file being
    /// converted is finished as if nothing happened.
    static void Install();
    static bool IsSet();
    static void Set(bool value);
};

} // namespace veltran
