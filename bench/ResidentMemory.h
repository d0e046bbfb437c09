// The process's resident memory, as the system counts it.
#pragma once

#include <fstream>
#include <string>

namespace bukvotok {

inline double ResidentBytes() {
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmRSS:") {
            double kilobytes = 0;
            status >> kilobytes;
            return kilobytes * 1024;
        }
    }
    return 0;
}

}  // namespace bukvotok
