#include "InterruptFlag.h"

#include <atomic>
#include <csignal>

namespace veltran {

namespace {

std::atomic<int> g_signal{0};
static_assert(std::atomic<int>::is_always_lock_free, "the flag is set from a signal handler");

extern "C" void OnStopSignal(int signal)
{
    g_signal.store(signal);
}

} // namespace

void InterruptFlag::Install()
{
    struct sigaction action = {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaction(signal, &action, nullptr);
    std::signal(SIGXFSZ, SIG_IGN);
}

int InterruptFlag::Pending()
{
    return g_signal.load();
}

int InterruptFlag::Take()
{
    return g_signal.exchange(0);
}

} // namespace veltran
