#include "InterruptFlag.h"

#include <atomic>
#include <csignal>

namespace veltran {

namespace {

std::atomic<bool> g_interrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the flag is set from a signal handler");

extern "C" void OnInterrupt(int)
{
    g_interrupted.store(true);
}

} // namespace

void InterruptFlag::Install()
{
    struct sigaction action = {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
}

bool InterruptFlag::IsSet()
{
    return g_interrupted.load();
}

void InterruptFlag::Set(bool value)
{
    g_interrupted.store(value);
}

} // namespace veltran
