// Ctrl+C and SIGTERM as the headless command's stop box: the first one asks the search to stop
// after its current pass; a second one ends the program at once, for a walk that takes long.
#pragma once

#include <csignal>

namespace bukvotok {

namespace detail {
inline volatile std::sig_atomic_t stop_signal_arrived = 0;
}

void InstallStopSignals();

// Inline: the search asks after every pass.
inline bool StopSignalArrived() { return detail::stop_signal_arrived != 0; }

}  // namespace bukvotok
