#include "MemorySize.h"

#include <windows.h>

namespace bukvotok {

namespace {

MEMORYSTATUSEX MemoryStatus() {
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    if (!::GlobalMemoryStatusEx(&status)) return MEMORYSTATUSEX{};
    return status;
}

}  // namespace

std::uint64_t PhysicalMemory() { return MemoryStatus().ullTotalPhys; }

std::uint64_t AddressSpace() {
    const std::uint64_t total = MemoryStatus().ullTotalVirtual;
    return total != 0 ? total : UINT64_MAX;
}

}  // namespace bukvotok
