#include "link/interrupt_signals.h"

#include <csignal>
#include <iterator>

namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

std::atomic<bool> g_stop{false};
std::atomic<int> g_received{0};
struct sigaction g_before[std::size(kSignals)];

static_assert(std::atomic<bool>::is_always_lock_free && std::atomic<int>::is_always_lock_free,
              "the flag is set from a signal handler");

void OnSignal(int signal)
{
    int none = 0;
    g_received.compare_exchange_strong(none, signal);
    g_stop.store(true);
}

} // namespace

CInterruptSignals::CInterruptSignals()
{
    g_received.store(0);
    g_stop.store(false);
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    for (std::size_t i = 0; i < std::size(kSignals); ++i)
        sigaction(kSignals[i], &action, &g_before[i]);
}

CInterruptSignals::~CInterruptSignals()
{
    for (std::size_t i = 0; i < std::size(kSignals); ++i)
        sigaction(kSignals[i], &g_before[i], nullptr);
}

const std::atomic<bool>& CInterruptSignals::StopFlag() { return g_stop; }

int CInterruptSignals::Received() { return g_received.load(); }

int CInterruptSignals::ExitStatus()
{
    const int signal = g_received.load();
    return signal == 0 ? 0 : 128 + signal;
}
