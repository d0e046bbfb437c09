// Ctrl+C and SIGTERM (on Windows Ctrl+C and Ctrl+Break) as the headless command's stop box: the
// first one asks the search to stop after its current pass; a second one ends the program at
// once, for a walk that takes long.
#pragma once

#include <atomic>

namespace bukvotok {

namespace detail {
// Set from a signal handler on POSIX systems and from the console's own thread on Windows: a
// lock-free atomic is safe in both.
inline std::atomic<bool> stop_signal_arrived{false};
static_assert(std::atomic<bool>::is_always_lock_free);
}  // namespace detail

void InstallStopSignals();

// Inline: the search asks after every pass.
inline bool StopSignalArrived() {
    return detail::stop_signal_arrived.load(std::memory_order_relaxed);
}

}  // namespace bukvotok
