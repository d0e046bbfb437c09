// The results box's text and its edits, as the box makes them: each a change of the model
// (TextModel), told to the view's lines, and refused, when it is, with the box's own error and
// nothing changed.  It knows nothing of the caret or of the screen.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "BlockBytes.h"
#include "TextModel.h"
#include "ViewLines.h"

namespace bukvotok {

class ResultsDocument {
public:
    using EditKind = TextModel::EditKind;
    using Span = TextModel::Span;

    ResultsDocument();

    const BlockBytes& Bytes() const { return model_.Bytes(); }
    std::size_t Size() const { return model_.Size(); }
    const TextModel& Model() const { return model_; }
    // The lines each change is told to.  REQUIRES: before the first change.
    void Follow(ViewLines& lines) { lines_ = &lines; }

    std::size_t Capacity() const { return model_.Capacity(); }
    void SetCapacity(std::size_t bytes) { model_.SetCapacity(bytes); }
    std::size_t HistoryBytes() const { return model_.HistoryBytes(); }
    // How many bytes may go in place of [from, to).
    std::size_t RoomFor(std::size_t from, std::size_t to) const;

    // A new text with no history.  Raises ResultsFullError when it does not fit.
    void Assign(std::string_view bytes);
    // At the end, not a step.  False, with nothing appended, when removed text kept for the
    // user stands in the way (KeptBeforeSearch), and letting it go would make room; raises
    // ResultsFullError, with nothing appended, when anything else does.
    bool Append(std::string_view first, std::string_view second);
    // How many bytes appends may add with nothing to push out: until then each only adds its
    // bytes, and nothing refuses them.
    std::size_t PlainAppendRoom() const { return model_.PlainAppendRoom(); }
    // Words, each after one space, appended as Append of each in turn would append them.
    // `taken` moves past each word as it goes in; one that raises bad_alloc is not in.
    // REQUIRES: what is left from `taken` fits in PlainAppendRoom().
    void AppendWords(std::string_view spaced, std::size_t& taken);
    TextModel::Removed KeptBeforeSearch() const { return model_.KeptBeforeSearchByKey(); }
    void ForgetKeptBeforeSearch() { model_.ForgetKeptBeforeSearch(); }
    // The user's word that the kept text in the way of the last edit refused may go.
    void ForgetKeptInTheWay() { model_.ForgetKeptInTheWay(); }
    // All the removed text kept for the user.
    TextModel::Removed Kept() const { return model_.KeptByKey(); }

    // The whole text is in a file now (see TextModel's save point); the save's number.
    std::uint64_t MarkSaved() { return model_.MarkSaved(); }
    bool Saved() const { return model_.Saved(); }
    void ForgetSave(std::uint64_t save) { model_.ForgetSave(save); }
    std::uint64_t Changes() const { return model_.Changes(); }

    // Each is one step of the history, or goes on with the typing step before it.  Each raises
    // ResultsFullError when there is no room, ResultsKeptInTheWayError when letting removed
    // text kept for the user go would make it, and ResultsOutOfMemoryError when memory runs
    // out, in every case with nothing changed.
    void Replace(std::size_t from, std::size_t to, std::string_view bytes, EditKind kind);
    // `bytes` in place of [from, to), sharing their blocks.
    void PutShared(std::size_t from, std::size_t to, const BlockBytes& bytes);
    void Move(std::size_t from, std::size_t to, std::size_t dest);
    void Clear();
    // Where the bytes put back lie; nothing when there is nothing to undo or redo.  Raise
    // ResultsOutOfMemoryError.
    std::optional<Span> Undo();
    std::optional<Span> Redo();
    bool CanUndo() const { return model_.CanUndo(); }
    bool CanRedo() const { return model_.CanRedo(); }
    void EndTyping() { model_.EndTyping(); }

    void BeginSearch() { model_.BeginSearch(); }
    void EndSearch() { model_.EndSearch(); }

    // The memory of what was let go is freed a part at a time; true while some is left.
    bool ReleaseSome() { return model_.ReleaseSome(); }
    bool HasReleased() const { return model_.HasReleased(); }

private:
    // Runs an edit of the model: raises when it was refused or ran out of memory.
    template <typename Call>
    void Edit(Call&& call);
    void Changed() noexcept;

    TextModel model_;
    ViewLines* lines_ = nullptr;
};

}  // namespace bukvotok
