#include "TextModel.h"

#include <algorithm>
#include <string>

namespace bukvotok {

TextModel::TextModel() : TextModel(Tuning{}) {}

TextModel::TextModel(Tuning tuning) : tuning_(tuning) {
    text_.HoldWholeFrom(tuning.held_whole_from);
    text_.SetBlockSize(tuning.block_size);
}

void TextModel::SetCapacity(std::size_t bytes) {
    capacity_ = std::min(bytes, WrappedText::kMaxSize);
    MakeRoom(Size());
}

void TextModel::Assign(std::string_view bytes) {
    history_.Clear(released_);
    text_.MoveBlocksTo(released_);
    text_.Assign(bytes);
}

bool TextModel::ReleaseSome() {
    // About 64 MB, a few milliseconds.
    constexpr std::size_t kBlocksAtATime = 64;
    const std::size_t keep = released_.size() - std::min(released_.size(), kBlocksAtATime);
    released_.resize(keep);
    if (keep == 0) released_.shrink_to_fit();
    return keep > 0;
}

void TextModel::MakeRoom(std::size_t text) {
    while (history_.HeldBytes() > 0 && text + history_.HeldBytes() > Budget()) {
        if (!history_.DropOldest()) return;
    }
}

bool TextModel::Append(std::string_view first, std::string_view second) {
    const std::size_t more = first.size() + second.size();
    if (more > capacity_ - std::min(capacity_, Size())) return false;
    if (history_.HeldBytes() > 0) MakeRoom(Size() + more);
    text_.Append(first, second);
    return true;
}

bool TextModel::Replace(std::size_t from, std::size_t to, std::string_view bytes, EditKind kind) {
    const std::size_t new_size = Size() - (to - from) + bytes.size();
    if (new_size > capacity_ && new_size > Size()) return false;
    if (kind == EditKind::kTyping && from == to) {
        MakeRoom(new_size);
        if (EditStep* step = history_.TypingContinuedAt(from)) {
            text_.Replace(from, to, bytes);
            step->length += bytes.size();
            return true;
        }
    }
    const std::size_t step_bytes =
        sizeof(EditStep) + (text_.HoldsWhole(from, to) ? Size() : to - from);
    MakeRoom(new_size + step_bytes);
    if (new_size + history_.HeldBytes() + step_bytes > Budget()) {
        // Even with no history the removed bytes would not fit beside the text: not undoable.
        history_.Clear();
        text_.Replace(from, to, bytes);
        return true;
    }
    HeldText inserted;
    inserted.bytes.assign(bytes);
    EditStep step;
    step.at = from;
    step.length = bytes.size();
    step.held = text_.Exchange(from, to, inserted);
    step.typing = kind == EditKind::kTyping;
    history_.Record(std::move(step));
    return true;
}

std::optional<TextModel::Span> TextModel::Swap(EditStep& step) {
    const std::size_t restored = step.held.Size();
    if (restored > step.length && Size() - step.length + restored > capacity_) return std::nullopt;
    HeldText taken = text_.Exchange(step.at, step.at + step.length, step.held);
    step.held = std::move(taken);
    step.length = restored;
    return Span{step.at, step.at + restored};
}

// Putting bytes back costs no memory, unless the bytes taken out are held whole: then the
// oldest other steps make room.
std::optional<TextModel::Span> TextModel::Undo() {
    if (!CanUndo()) return std::nullopt;
    const std::optional<Span> span = Swap(history_.NextToUndo());
    if (!span) return span;
    history_.Undone();
    history_.KeepNext(true);
    MakeRoom(Size());
    history_.KeepNone();
    return span;
}

std::optional<TextModel::Span> TextModel::Redo() {
    if (!CanRedo()) return std::nullopt;
    const std::optional<Span> span = Swap(history_.NextToRedo());
    if (!span) return span;
    history_.Redone();
    history_.KeepNext(false);
    MakeRoom(Size());
    history_.KeepNone();
    return span;
}

}  // namespace bukvotok
