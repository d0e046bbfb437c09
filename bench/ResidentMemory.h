// The process's resident memory, as the system counts it.
#pragma once

#include <fstream>
#include <string>

namespace bukvotok {

// A size line of /proc/self/status, such as "VmRSS:", in bytes.
inline double StatusBytes(const std::string& wanted) {
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == wanted) {
            double kilobytes = 0;
            status >> kilobytes;
            return kilobytes * 1024;
        }
    }
    return 0;
}

inline double ResidentBytes() { return StatusBytes("VmRSS:"); }

// The most that was resident since the start or since ResetPeakResident.
inline double PeakResidentBytes() { return StatusBytes("VmHWM:"); }

inline void ResetPeakResident() { std::ofstream("/proc/self/clear_refs") << "5"; }

}  // namespace bukvotok
