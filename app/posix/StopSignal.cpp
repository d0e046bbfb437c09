#include "StopSignal.h"

#include <csignal>

namespace bukvotok {

namespace {

extern "C" void OnStopSignal(int) {
    detail::stop_signal_arrived.store(true, std::memory_order_relaxed);
}

}  // namespace

void InstallStopSignals() {
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = static_cast<int>(SA_RESETHAND);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    // A closed pipe shows as EPIPE from write(), handled where the output is written.
    std::signal(SIGPIPE, SIG_IGN);
}

}  // namespace bukvotok
