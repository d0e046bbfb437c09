// The user's edits of the results text, to undo and redo.  A step holds where it put its bytes
// and the bytes it took out; undoing it swaps the two, so that the same step redoes it.
#pragma once

#include <cstddef>
#include <deque>

#include "WrappedText.h"

namespace bukvotok {

struct EditStep {
    std::size_t at = 0;
    std::size_t length = 0;  // of the bytes the step has in the text
    HeldText held;           // the bytes it has out of the text
    bool typing = false;     // typing goes on into the same step
};

class EditHistory {
public:
    bool CanUndo() const { return done_ > 0; }
    bool CanRedo() const { return done_ < steps_.size(); }
    std::size_t UndoCount() const { return done_; }
    std::size_t RedoCount() const { return steps_.size() - done_; }
    // How many steps were ever recorded: a step typing went on with is not counted again.
    std::size_t Recorded() const { return recorded_; }

    // A new step: the ones undone can no longer be redone.
    void Record(EditStep step) {
        steps_.resize(done_);
        steps_.push_back(std::move(step));
        done_ = steps_.size();
        ++recorded_;
        merging_ = true;
        Recount();
    }
    // The step that typing at `offset` goes on with, if any.
    EditStep* TypingContinuedAt(std::size_t offset) {
        if (!merging_ || done_ == 0 || done_ != steps_.size()) return nullptr;
        EditStep& last = steps_.back();
        return last.typing && last.at + last.length == offset ? &last : nullptr;
    }
    void StopMerging() { merging_ = false; }

    EditStep& NextToUndo() { return steps_[done_ - 1]; }
    EditStep& NextToRedo() { return steps_[done_]; }
    void Undone() { Moved(-1); }
    void Redone() { Moved(1); }

    // The step done longest ago, or with none done the one farthest from being redone; never
    // the step just undone or redone (`Kept`).  False when only that is left.
    bool DropOldest() {
        if (done_ > (keep_done_ ? 1u : 0u)) {
            steps_.pop_front();
            --done_;
        } else if (steps_.size() > done_ + (keep_undone_ ? 1u : 0u)) {
            steps_.pop_back();
        } else {
            return false;
        }
        Recount();
        return true;
    }
    // While a step is swapped, DropOldest keeps it.
    void KeepNext(bool undone) { (undone ? keep_undone_ : keep_done_) = true; }
    void KeepNone() { keep_done_ = keep_undone_ = false; }
    // Hands the blocks of the texts held whole to be freed later.
    void Clear(std::vector<GrowingArray<char>>& released) {
        for (EditStep& step : steps_) {
            if (step.held.whole) step.held.whole->bytes.MoveBlocksTo(released);
        }
        Clear();
    }
    void Clear() {
        steps_.clear();
        done_ = 0;
        held_bytes_ = 0;
    }

    // What the steps hold, counted against the text's limit; each step's own record too.
    std::size_t HeldBytes() const { return held_bytes_; }
    void Recount() {
        held_bytes_ = 0;
        for (const EditStep& step : steps_) held_bytes_ += step.held.HeldBytes() + sizeof(step);
    }

private:
    void Moved(int by) {
        done_ = static_cast<std::size_t>(static_cast<long long>(done_) + by);
        merging_ = false;
        Recount();
    }

    std::deque<EditStep> steps_;
    std::size_t done_ = 0;  // steps_[0, done_) are in the text, the rest undone
    std::size_t held_bytes_ = 0;
    std::size_t recorded_ = 0;
    bool merging_ = false;
    bool keep_done_ = false;    // the last done step
    bool keep_undone_ = false;  // the next step to redo
};

}  // namespace bukvotok
