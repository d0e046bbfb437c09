// The lines of a whole text at a new width, laid out on a thread of their own: at two gigabytes
// that takes seconds, and the window must not wait for them to show the lines on screen.  The
// thread reads a copy of the text that shares its blocks, which the text never changes while
// shared, so the text may be appended to meanwhile; the lines describe the copy.
#pragma once

#include <atomic>
#include <cstddef>
#include <thread>

#include "BlockBytes.h"
#include "LineLayout.h"
#include "LineStarts.h"

namespace bukvotok {

class LayoutInBackground {
public:
    LayoutInBackground(BlockBytes bytes, const LineLayout& layout);
    // Stops the thread early if it still runs.
    ~LayoutInBackground();
    LayoutInBackground(const LayoutInBackground&) = delete;
    LayoutInBackground& operator=(const LayoutInBackground&) = delete;

    bool Done() const { return done_.load(std::memory_order_acquire); }
    // Waits for the lines; false when memory ran out for them.
    bool Wait();
    // REQUIRES: Wait() returned true.
    LineStarts TakeLines() { return std::move(lines_); }
    std::size_t Size() const { return bytes_.size(); }

private:
    void Run();

    const BlockBytes bytes_;
    const LineLayout layout_;
    LineStarts lines_;
    bool failed_ = false;
    std::atomic<bool> stop_{false};
    std::atomic<bool> done_{false};
    std::thread thread_;  // last: it starts once the rest is made
};

}  // namespace bukvotok
