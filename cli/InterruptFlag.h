#pragma once

namespace veltran {

/// The process-wide stop flag: SIGINT (Ctrl-C), SIGTERM and SIGHUP only record which signal came,
/// and the run reads it between files.
class InterruptFlag
{
public:
    /// Installs the handlers of the three stop signals, and ignores SIGXFSZ, so that a write beyond
    /// the file-size limit fails as an ordinary write ("File too large") instead of ending the
    /// program. System calls a signal interrupts are restarted, so a file being converted is finished
    /// as if nothing happened.
    static void Install();
    /// The stop signal that came and has not been taken yet, or 0.
    static int Pending();
    /// Pending(), which is then cleared.
    static int Take();
};

} // namespace veltran
