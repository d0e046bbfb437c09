// How much memory the program may count on, for limits that keep a large input from taking the
// machine down.
#pragma once

#include <cstdint>

namespace bukvotok {

// The computer's physical memory in bytes, or 0 when the system does not say.
std::uint64_t PhysicalMemory();

// The bytes of address space the program's data can take: for a 32-bit program far less than
// the computer's memory (2 or 4 GB on Windows, depending on the system), else practically
// without end.
std::uint64_t AddressSpace();

}  // namespace bukvotok
