// Lays out a long stretch of the results text on a thread of its own: at two gigabytes that
// takes seconds, and the window must not wait for it.  It hands over what it has laid out a
// batch at a time, so that the lines become exact from the stretch's start on as it goes.
//
// The thread reads a copy of the text that shares its blocks (see BlockBytes on why that is
// safe): the window's thread makes the copy and destroys it, after the thread has ended, so no
// hold on a block is taken or dropped on this thread.  The text may be appended to meanwhile;
// what the thread lays out is the text as it was, which appends do not change.
#pragma once

#include <atomic>
#include <cstddef>
#include <mutex>
#include <thread>
#include <vector>

#include "BlockBytes.h"
#include "KnownLines.h"
#include "LineLayout.h"

namespace bukvotok {

class LayoutInBackground {
public:
    // Starts the thread.  Raises bad_alloc, or std::system_error when no thread can start.
    LayoutInBackground(BlockBytes text, const LineLayout& layout, KnownLines::Work work,
                       std::size_t spacing, std::size_t batch);
    // Stops the thread if it still runs, within a batch's first mark.
    ~LayoutInBackground();
    LayoutInBackground(const LayoutInBackground&) = delete;
    LayoutInBackground& operator=(const LayoutInBackground&) = delete;

    // The runs laid out since the last call, in order; `done` once no more will come.
    std::vector<KnownLines::Run> Take(bool& done);
    // Waits until no more will come.
    void Wait();

private:
    void LayOut();

    const BlockBytes text_;
    const LineLayout layout_;
    KnownLines::Work work_;
    const std::size_t spacing_;
    const std::size_t batch_;
    std::mutex mutex_;
    std::vector<KnownLines::Run> runs_;  // guarded by mutex_
    bool done_ = false;                  // guarded by mutex_
    std::atomic<bool> stop_{false};
    std::thread thread_;  // last: it starts once the rest is made
};

}  // namespace bukvotok
