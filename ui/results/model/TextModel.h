// The results text as the user edits it: the document.  Its bytes (in blocks, with the index of
// their line breaks), the undo history, and the limit that both share.  It knows nothing of
// where lines wrap on screen: that is the view's (see ViewLines), which each change is told of
// (LastChange).  No window: the results box shows it and turns keys into its edits.
//
// The rule for room: the text and what the history holds share the limit.
//  - The text alone never passes it.
//  - Removed text the user has not let go stays while its bytes exist nowhere else.  A step
//    that holds at least `keep_from` bytes is kept until the user forgets it
//    (ForgetKeptBeforeSearch, ForgetKeptInTheWay) unless the text it was taken from was at the
//    save point (MarkSaved).  Smaller steps, and moves, which hold nothing, may go.
//  - The user's own edits may take text and history together a little past the limit (the
//    allowance), so that replacing a full text with what the user types can still be undone;
//    to make room they push out the oldest steps that may go, after the steps undone, which a
//    new edit discards anyway.  An edit that could not be undone even with no other step, or
//    that would push out a step that is kept, is refused.
//  - Appends (the search's words) keep text and history within the limit.  They may push out
//    only steps that may go and were last made, undone or redone before the outermost running
//    search started; when others stand in the way, the append is refused, saying whether
//    forgetting the kept steps from before the search would do.
//  - So an undo or a redo never needs room: it swaps bytes between the text and the history,
//    and every state it returns to was within the limit.
//
// The save point: "saved" belongs to a state of the history, as in any editor's.  Undo and redo
// back to it make the text saved again, and what they take out of it then is in the file; an
// append, or an edit that changes that state or leaves it out of reach, ends it.  A file written
// over later no longer holds what was taken out of the text saved there (ForgetSave).
//
// Every change is all or nothing: when memory runs out, the text and the history stay exactly
// as they were, and the change raises bad_alloc.
//
// Texts hold only CR LF as a line break: each CR followed by LF, each LF preceded by CR.  A
// caret offset is any offset from 0 to Size() except the one between CR and LF; every offset
// given to a change is one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "BlockBytes.h"
#include "EditHistory.h"
#include "GrowingArray.h"

namespace bukvotok {

class TextModel {
public:
    struct Tuning {
        // At least this much allowance; a 32nd of the limit when that is more.
        std::size_t history_allowance = 1 << 20;
        std::size_t block_size = BlockBytes::kBlockSize;
        // Steps that hold less may go without the user's word: a few screens of the box.
        std::size_t keep_from = 4 << 10;
    };
    // The largest text the box holds: offsets stay within what the view's 32-bit places hold.
    static constexpr std::size_t kMaxSize = 0x7FFFFFFF;

    TextModel();
    explicit TextModel(Tuning tuning);

    struct Span {
        std::size_t from;
        std::size_t to;
    };
    enum class EditKind { kTyping, kOther };

    const BlockBytes& Bytes() const { return text_; }
    std::size_t Size() const { return text_.size(); }
    std::string Copy() const { return text_.Copy(0, text_.size()); }

    // What the last change that succeeded did: [at, at + removed) of the text before it became
    // [at, at + inserted).  An append, an undo and a redo are changes too.
    struct Change {
        std::size_t at = 0;
        std::size_t removed = 0;
        std::size_t inserted = 0;
    };
    const Change& LastChange() const { return last_change_; }

    std::size_t Capacity() const { return capacity_; }
    // Drops steps, the least wanted first, until text and history fit again.
    void SetCapacity(std::size_t bytes);
    // What text and history may come to with the user's edits.
    std::size_t Budget() const;
    std::size_t HistoryBytes() const { return history_.HeldBytes(); }

    // A new text, with no history.  REQUIRES: it fits.  The memory of the old one is freed
    // by ReleaseSome.
    void Assign(std::string_view bytes);
    // Frees part of what was let go: freeing gigabytes at once takes a fifth of a second.
    // True while some is left.
    bool ReleaseSome();
    bool HasReleased() const { return !released_.empty(); }

    // At the end, not a step of the history.  Both pieces or neither.  False, with nothing
    // appended, when there is no room (see the rule above).
    bool Append(std::string_view first, std::string_view second = {});
    // How many bytes appends may add with nothing to push out: until then each only adds its
    // bytes.
    std::size_t PlainAppendRoom() const {
        const std::size_t used = Size() + history_.HeldBytes();
        return capacity_ > used ? capacity_ - used : 0;
    }
    // Words, each after one space, appended as Append of each in turn would append them, each a
    // change.  `taken` moves past each word as it goes in; one that raises bad_alloc is not in.
    // REQUIRES: what is left from `taken` fits in PlainAppendRoom().
    void AppendWords(std::string_view spaced, std::size_t& taken);
    // What stood in the way of the last change refused: the text alone, steps that may not go
    // for it, or steps kept for the user.
    enum class Refusal { kText, kHistory, kKept };
    Refusal LastRefusal() const { return refusal_; }
    // When steps kept for the user stood in the way, and letting them go would have made room:
    // the bytes they hold.  Else 0.
    std::size_t KeptInTheWay() const { return kept_in_the_way_; }
    // The user's word that the kept steps in the way of the last edit refused may go.
    void ForgetKeptInTheWay();

    // The whole text was just saved to a file: its state is the save point.  Returns the save's
    // number, for ForgetSave.
    std::uint64_t MarkSaved();
    // Whether the text is as it was last saved.
    bool Saved() const { return saved_by_ != 0 && saved_state_ == history_.State(); }
    // The file of save `save` was written over: what was taken out of the text saved there is in
    // no file any more.
    void ForgetSave(std::uint64_t save);
    // Counts the changes of the text.
    std::uint64_t Changes() const { return changes_; }

    // Removed text some steps hold, by the key that brings it back: Ctrl+Z for the steps done,
    // Ctrl+Y for those undone.
    struct Removed {
        std::size_t by_undo = 0;
        std::size_t by_redo = 0;
        std::size_t Total() const { return by_undo + by_redo; }
    };
    // The bytes of the kept steps that appends would push out, were they let go: those from
    // before the outermost running search.
    Removed KeptBeforeSearchByKey() const;
    std::size_t KeptBeforeSearch() const { return KeptBeforeSearchByKey().Total(); }
    // The user's word that those may go.
    void ForgetKeptBeforeSearch();
    // The bytes of the steps made, undone or redone since the outermost running search began,
    // which its words may not push out.
    Removed HeldSinceSearch() const;
    // The bytes of all the kept steps.
    Removed KeptByKey() const;
    // Whether `step` is kept for the user (see the rule above).
    bool Kept(const EditStep& step) const {
        return !step.expendable && step.held.size() >= tuning_.keep_from;
    }

    // Each is one step, or part of the typing step before it, and false, with nothing changed,
    // when there is no room.  REQUIRES: caret offsets.
    bool Replace(std::size_t from, std::size_t to, std::string_view bytes, EditKind kind);
    // The text's [from, to) again at `at`, sharing its blocks, so that it costs next to nothing
    // until either is edited.
    bool InsertShared(std::size_t at, std::size_t from, std::size_t to);
    bool InsertShared(std::size_t at, const BlockBytes& bytes) {
        return ReplaceShared(at, at, bytes);
    }
    // `bytes` in place of [from, to), sharing their blocks: a paste over a selection.
    bool ReplaceShared(std::size_t from, std::size_t to, const BlockBytes& bytes);
    // Moves [from, to) to `dest`, an offset outside (from, to) in the text as it is: a step that
    // holds no bytes, whatever the distance.
    bool Move(std::size_t from, std::size_t to, std::size_t dest);
    // Empties the text as a step, which holds the text itself.
    bool Clear();

    bool CanUndo() const { return history_.CanUndo(); }
    bool CanRedo() const { return history_.CanRedo(); }
    const EditHistory& History() const { return history_; }
    // Where the bytes put back lie; nothing when there is nothing to undo or redo.
    std::optional<Span> Undo();
    std::optional<Span> Redo();
    // Typing after this is a step of its own.
    void EndTyping() { history_.StopMerging(); }

    // Between these, appends push out only steps touched before the outermost began.  Searches
    // nest.
    void BeginSearch();
    void EndSearch();

private:
    // Which steps go to make room: the `redo` farthest from being redone and the `oldest` done,
    // and if that is not enough, what stood in the way.
    struct Drops {
        std::size_t redo = 0;
        std::size_t oldest = 0;
        std::size_t blocks = 0;
        bool fits = false;
        Refusal refusal = Refusal::kHistory;
        // When kept steps stand in the way: the bytes they hold, if the rest would then fit.
        std::size_t kept_in_the_way = 0;
    };
    Drops PlanForEdit(std::size_t text_after, std::size_t step_cost, bool new_step) const;
    Drops PlanForAppend(std::size_t text_after) const;
    bool Before(const EditStep& step) const;
    void Apply(const Drops& drops) noexcept;
    bool Refuse(Refusal refusal);
    bool Refuse(const Drops& drops);
    template <typename Which>
    Removed HeldBy(Which&& which) const;
    // The step that the current state leads on from: what it takes out is in the file when the
    // text is at the save point.
    void TakenFromHere(EditStep& step) const {
        step.expendable = Saved();
        step.saved_in = Saved() ? saved_by_ : 0;
    }

    template <typename MakeIn>
    bool Edit(std::size_t from, std::size_t to, std::size_t inserted, EditKind kind,
              MakeIn&& make_in);
    void Changed(std::size_t at, std::size_t removed, std::size_t inserted) noexcept {
        last_change_ = {at, removed, inserted};
        ++changes_;
    }
    std::optional<Span> Swap(EditStep& step);

    BlockBytes text_;
    EditHistory history_;
    std::size_t capacity_ = kMaxSize;
    Tuning tuning_;
    std::vector<GrowingArray<char>> released_;
    std::uint64_t stamp_ = 0;                  // counts what touches a step
    std::vector<std::uint64_t> search_marks_;  // the stamp at each running search's start
    Refusal refusal_ = Refusal::kText;
    std::size_t kept_in_the_way_ = 0;
    std::size_t forget_oldest_ = 0;  // the oldest steps the last edit refused would push out
    Change last_change_;
    std::uint64_t changes_ = 0;
    // The save point: the state saved by save number `saved_by_`, none while that is 0.
    std::uint64_t saved_state_ = 0;
    std::uint64_t saved_by_ = 0;
    std::uint64_t saves_ = 0;
};

}  // namespace bukvotok
