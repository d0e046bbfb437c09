// The user's edits of the results text, to undo and redo: a plain list of steps, the oldest
// first, those after `done` undone.  A step is an exchange, which holds where it put its bytes
// and the bytes it took out (undoing it swaps the two, so that the same step redoes it), or a
// move of a range, which holds no bytes at all.  What the steps hold is counted; how much they
// may hold is for the text model to say.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "BlockBytes.h"
#include "GrowingArray.h"

namespace bukvotok {

struct EditStep {
    enum class Kind { kExchange, kMove };
    Kind kind = Kind::kExchange;
    std::size_t at = 0;
    // An exchange's bytes in the text, at `at`; the bytes a move takes from `at` to `to`.
    std::size_t length = 0;
    std::size_t to = 0;
    BlockBytes held;      // an exchange's bytes out of the text
    bool typing = false;  // typing goes on into the same step
    // Whether `held` may go without the user's word: it was taken out of the text as a file holds
    // it, the file of the save `saved_in`, or the user let it go (`saved_in` 0).
    bool expendable = false;
    std::uint64_t saved_in = 0;
    std::uint64_t touched = 0;  // when it was last made, undone or redone: see TextModel

    // What keeping the step costs, in the measure of the text's limit: bytes.
    std::size_t Cost() const { return held.size() + sizeof(EditStep); }
};

class EditHistory {
public:
    bool CanUndo() const { return done_ > first_; }
    bool CanRedo() const { return done_ < steps_.size(); }
    std::size_t UndoCount() const { return done_ - first_; }
    std::size_t RedoCount() const { return steps_.size() - done_; }
    // The states of the text the steps lead through, numbered from the first there ever was: the
    // one now, the first that undo reaches and the last that redo reaches.
    std::uint64_t State() const { return dropped_ + UndoCount(); }
    std::uint64_t FirstState() const { return dropped_; }
    std::uint64_t LastState() const { return dropped_ + Count(); }
    // What the steps cost together.
    std::size_t HeldBytes() const { return held_bytes_; }

    // The steps from the oldest that can be undone (0) to the farthest that can be redone.
    const EditStep& At(std::size_t i) const { return steps_[first_ + i]; }
    // For what changes no cost: whether a step may go.
    EditStep& Mutable(std::size_t i) { return steps_[first_ + i]; }
    std::size_t Count() const { return steps_.size() - first_; }

    // Room for one more step, so that Record cannot fail.  Raises bad_alloc.
    void Reserve() { steps_.reserve(steps_.size() + 1); }
    // A new step: the steps undone can no longer be redone.  REQUIRES: Reserve() since the last
    // change, and the steps undone dropped (DropFarthestRedo) or their blocks not to be kept.
    void Record(EditStep&& step) noexcept;

    // The step that typing at `offset` goes on with, if any.
    EditStep* TypingContinuedAt(std::size_t offset);
    void StopMerging() { merging_ = false; }

    EditStep& NextToUndo() { return steps_[done_ - 1]; }
    EditStep& NextToRedo() { return steps_[done_]; }
    // After the step was swapped: `cost_before` is what it cost before.
    void Undone(std::size_t cost_before) noexcept;
    void Redone(std::size_t cost_before) noexcept;
    // A step changed in place (typing went on with it): `cost_before` is what it cost before.
    void Changed(const EditStep& step, std::size_t cost_before) noexcept;

    // The oldest step done, and the step farthest from being redone; each hands the dropped
    // step's blocks to `released` to be freed later.  REQUIRES: room in
    // `released` for them (BlockCount), so that nothing allocates.
    // REQUIRES: CanUndo() for DropOldest, CanRedo() for DropFarthestRedo.
    void DropOldest(std::vector<GrowingArray<char>>& released) noexcept;
    void DropFarthestRedo(std::vector<GrowingArray<char>>& released) noexcept;
    static std::size_t BlockCount(const EditStep& step) { return step.held.BlockCount(); }

    void Clear(std::vector<GrowingArray<char>>& released);

private:
    static void Release(EditStep& step, std::vector<GrowingArray<char>>& released) noexcept;

    std::vector<EditStep> steps_;
    std::size_t first_ = 0;  // the steps before it are dropped
    std::size_t done_ = 0;   // steps_[first_, done_) are in the text, the rest undone
    std::size_t held_bytes_ = 0;
    std::uint64_t dropped_ = 0;  // the oldest steps dropped so far
    bool merging_ = false;
};

}  // namespace bukvotok
