#include "LayoutInBackground.h"

#include <algorithm>
#include <new>
#include <utility>

#include "LayoutPass.h"

namespace bukvotok {

LayoutInBackground::LayoutInBackground(BlockBytes text, const LineLayout& layout,
                                       KnownLines::Work work, std::size_t spacing,
                                       std::size_t batch)
    : text_(std::move(text)),
      layout_(layout),
      work_(std::move(work)),
      spacing_(spacing),
      batch_(batch),
      thread_([this] { LayOut(); }) {}

LayoutInBackground::~LayoutInBackground() {
    stop_.store(true, std::memory_order_relaxed);
    if (thread_.joinable()) thread_.join();
}

void LayoutInBackground::LayOut() {
    try {
        std::size_t lines = 0;
        for (;;) {
            KnownLines::Run run =
                LayOutStretch(text_, layout_, work_, spacing_, batch_, &stop_, lines);
            const bool more =
                run.end == KnownLines::Run::End::kStopped && !stop_.load(std::memory_order_relaxed);
            const std::size_t reached = run.to;
            {
                const std::lock_guard<std::mutex> lock(mutex_);
                runs_.push_back(std::move(run));
                if (!more) break;
            }
            // The next batch starts where this one stopped, a line start it laid out.
            work_.from = reached;
            const auto passed =
                std::upper_bound(work_.candidates.begin(), work_.candidates.end(), reached);
            work_.candidates.erase(work_.candidates.begin(), passed);
        }
    } catch (const std::bad_alloc&) {
        // What was handed over stays good; the rest is laid out on the window's thread.
    }
    const std::lock_guard<std::mutex> lock(mutex_);
    done_ = true;
}

std::vector<KnownLines::Run> LayoutInBackground::Take(bool& done) {
    const std::lock_guard<std::mutex> lock(mutex_);
    done = done_;
    return std::exchange(runs_, {});
}

void LayoutInBackground::Wait() {
    if (thread_.joinable()) thread_.join();
}

}  // namespace bukvotok
