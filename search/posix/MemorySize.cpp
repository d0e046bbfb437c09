#include "MemorySize.h"

#include <unistd.h>

#include <cstddef>
#include <limits>

namespace bukvotok {

std::uint64_t PhysicalMemory() {
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long page_size = ::sysconf(_SC_PAGESIZE);
    if (pages <= 0 || page_size <= 0) return 0;
    return static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(page_size);
}

std::uint64_t AddressSpace() { return std::numeric_limits<std::size_t>::max(); }

}  // namespace bukvotok
