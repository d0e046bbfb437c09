#include "EditHistory.h"

namespace bukvotok {

void EditHistory::Record(EditStep&& step) noexcept {
    // REQUIRES says the steps undone hold nothing worth freeing slowly by now.
    while (CanRedo()) {
        held_bytes_ -= steps_.back().Cost();
        steps_.pop_back();
    }
    held_bytes_ += step.Cost();
    steps_.push_back(std::move(step));
    done_ = steps_.size();
    merging_ = true;
}

EditStep* EditHistory::TypingContinuedAt(std::size_t offset) {
    if (!merging_ || !CanUndo() || CanRedo()) return nullptr;
    EditStep& last = steps_.back();
    return last.kind == EditStep::Kind::kExchange && last.typing && last.at + last.length == offset
               ? &last
               : nullptr;
}

void EditHistory::Undone(std::size_t cost_before) noexcept {
    --done_;
    held_bytes_ = held_bytes_ - cost_before + steps_[done_].Cost();
    merging_ = false;
}

void EditHistory::Redone(std::size_t cost_before) noexcept {
    held_bytes_ = held_bytes_ - cost_before + steps_[done_].Cost();
    ++done_;
    merging_ = false;
}

void EditHistory::Changed(const EditStep& step, std::size_t cost_before) noexcept {
    held_bytes_ = held_bytes_ - cost_before + step.Cost();
}

void EditHistory::Release(EditStep& step, std::vector<GrowingArray<char>>& released) noexcept {
    step.held.MoveBlocksTo(released);
}

void EditHistory::DropOldest(std::vector<GrowingArray<char>>& released) noexcept {
    EditStep& oldest = steps_[first_];
    held_bytes_ -= oldest.Cost();
    Release(oldest, released);
    ++first_;
    ++dropped_;
    // Now and then the dropped steps leave the list; erasing moves, and allocates nothing.
    if (first_ >= 64 && first_ * 2 >= steps_.size()) {
        steps_.erase(steps_.begin(), steps_.begin() + static_cast<std::ptrdiff_t>(first_));
        done_ -= first_;
        first_ = 0;
    }
}

void EditHistory::DropFarthestRedo(std::vector<GrowingArray<char>>& released) noexcept {
    EditStep& farthest = steps_.back();
    held_bytes_ -= farthest.Cost();
    Release(farthest, released);
    steps_.pop_back();
}

void EditHistory::Clear(std::vector<GrowingArray<char>>& released) {
    for (std::size_t i = first_; i < steps_.size(); ++i) {
        released.reserve(released.size() + BlockCount(steps_[i]));
        Release(steps_[i], released);
    }
    steps_.clear();
    first_ = done_ = 0;
    held_bytes_ = 0;
    dropped_ = 0;
    merging_ = false;
}

}  // namespace bukvotok
