// Ctrl+C and SIGTERM as the headless command's stop box: the first one asks the search to stop
// after its current pass; a second one ends the program at once, for a walk that takes long.
#pragma once

namespace bukvotok {

void InstallStopSignals();
bool StopSignalArrived();

}  // namespace bukvotok
