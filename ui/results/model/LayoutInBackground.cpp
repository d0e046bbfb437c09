#include "LayoutInBackground.h"

#include <new>

namespace bukvotok {

LayoutInBackground::LayoutInBackground(BlockBytes bytes, const LineLayout& layout)
    : bytes_(std::move(bytes)), layout_(layout), thread_([this] { Run(); }) {}

LayoutInBackground::~LayoutInBackground() {
    stop_.store(true, std::memory_order_relaxed);
    if (thread_.joinable()) thread_.join();
}

void LayoutInBackground::Run() {
    try {
        lines_.PushBack(0);
        std::size_t start = 0;
        while (!stop_.load(std::memory_order_relaxed) &&
               (start = layout_.NextLineStart(bytes_, start)) != LineLayout::kNoLine) {
            lines_.PushBack(start);
        }
    } catch (const std::bad_alloc&) {
        failed_ = true;
        lines_.Clear();
    }
    done_.store(true, std::memory_order_release);
}

bool LayoutInBackground::Wait() {
    if (thread_.joinable()) thread_.join();
    return !failed_;
}

}  // namespace bukvotok
