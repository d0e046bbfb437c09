#include "PagesAhead.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

namespace bukvotok {

void ReadyPagesForWriting(char* from, std::size_t bytes) noexcept {
#if defined(MADV_POPULATE_WRITE)
    static const long page_size = ::sysconf(_SC_PAGESIZE);
    if (page_size <= 0 || bytes == 0) return;
    const auto page = static_cast<std::uintptr_t>(page_size);
    const auto begin = reinterpret_cast<std::uintptr_t>(from);
    // Whole pages only: a page shared with memory before or after the range is left alone.
    const std::uintptr_t first = (begin + page - 1) / page * page;
    const std::uintptr_t end = (begin + bytes) / page * page;
    // Kernels before 5.14 do not know the request and refuse it; the pages then fault as usual.
    if (end > first) ::madvise(reinterpret_cast<void*>(first), end - first, MADV_POPULATE_WRITE);
#else
    (void)from;
    (void)bytes;
#endif
}

}  // namespace bukvotok
