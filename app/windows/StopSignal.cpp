#include "StopSignal.h"

#include <windows.h>

namespace bukvotok {

namespace {

// Runs on a thread of its own, which the console starts for the event.
BOOL WINAPI OnConsoleControl(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
    // The second one goes on to the system's handler, which ends the program.
    return detail::stop_signal_arrived.exchange(true) ? FALSE : TRUE;
}

}  // namespace

void InstallStopSignals() {
    // A program started in a new process group, or by one that ignored Ctrl+C, inherits the
    // ignoring; the stop box must answer all the same.
    ::SetConsoleCtrlHandler(nullptr, FALSE);
    ::SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}

}  // namespace bukvotok
