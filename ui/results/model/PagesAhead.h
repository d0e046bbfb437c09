// Readying memory that appends are about to write.
//
// Each page of fresh memory costs the system a fault when it is first written.  Under a
// virtual machine that fault is dear (11 microseconds a page on the build machine, against
// 0.3 microseconds for writing the page), and a search writes its words into the results at
// megabytes a second: asking for a stretch of pages at once costs about half as much.
#pragma once

#include <cstddef>

namespace bukvotok {

// Asks the system to ready the whole pages within [from, from + bytes) for writing, if it can:
// nothing in them changes, and a refusal changes nothing.  REQUIRES: the range is the
// program's own memory.
void ReadyPagesForWriting(char* from, std::size_t bytes) noexcept;

}  // namespace bukvotok
