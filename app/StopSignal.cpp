#include "StopSignal.h"

#include <csignal>

namespace bukvotok {

namespace {

volatile std::sig_atomic_t stop_signal_arrived = 0;

extern "C" void OnStopSignal(int) { stop_signal_arrived = 1; }

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

bool StopSignalArrived() { return stop_signal_arrived != 0; }

}  // namespace bukvotok
