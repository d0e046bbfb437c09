#include "ReadyBlocks.h"

#include <sys/mman.h>
#include <unistd.h>

#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <utility>

namespace bukvotok {

namespace {

// A huge page on x86-64 (and on 64-bit ARM with 4 KB pages): the size of the blocks readied.
constexpr std::size_t kHugePage = 2 << 20;

// In the system's huge pages where it gives them, every page faulted in here and not at the
// first append.  Written to rather than asked for (MADV_POPULATE_WRITE): the request holds the
// process's whole memory map for the milliseconds a huge page takes here, and the window's
// thread could wait that long for it; current kernels fault a page holding only its mapping.
void Ready(char* block, std::size_t bytes) noexcept {
#if defined(MADV_HUGEPAGE)
    ::madvise(block, bytes, MADV_HUGEPAGE);
#endif
    const long page = ::sysconf(_SC_PAGESIZE);
    const std::size_t step = page > 0 ? static_cast<std::size_t>(page) : 4096;
    for (std::size_t at = 0; at < bytes; at += step) static_cast<volatile char*>(block)[at] = 0;
}

// One block ready at a time.  The thread lives as long as the program: it only ever waits, or
// readies a block no one else can see yet.
class Readier {
public:
    char* Take() noexcept {
        std::lock_guard lock(mutex_);
        if (!started_) {
            started_ = true;
            try {
                std::thread([this] { Run(); }).detach();
            } catch (...) {
                // No thread to be had: every block is allocated as it is needed.
            }
        }
        ++takes_;
        char* const block = std::exchange(ready_, nullptr);
        taken_.notify_one();
        return block;
    }

private:
    void Run() noexcept {
        std::uint64_t seen = 0;
        for (;;) {
            {
                std::unique_lock lock(mutex_);
                // After a block is taken; after a failure, not before the next take.
                taken_.wait(lock, [&] { return ready_ == nullptr && takes_ != seen; });
                seen = takes_;
            }
            void* block = nullptr;
            if (::posix_memalign(&block, kHugePage, kHugePage) != 0) continue;
            Ready(static_cast<char*>(block), kHugePage);
            std::lock_guard lock(mutex_);
            ready_ = static_cast<char*>(block);
        }
    }

    std::mutex mutex_;
    std::condition_variable taken_;
    bool started_ = false;     // guarded by mutex_
    std::uint64_t takes_ = 0;  // guarded by mutex_
    char* ready_ = nullptr;    // guarded by mutex_
};

}  // namespace

char* TakeReadyBlock(std::size_t bytes) noexcept {
    if (bytes != kHugePage) return nullptr;
    // Never destroyed: the thread may still wait on it while the program ends.
    static Readier* const readier = new Readier;
    return readier->Take();
}

}  // namespace bukvotok
