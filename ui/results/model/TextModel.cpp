#include "TextModel.h"

#include <algorithm>
#include <string>

namespace bukvotok {

void TextModel::SetCapacity(std::size_t bytes) {
    capacity_ = std::min(bytes, WrappedText::kMaxSize);
    MakeRoom(0);
}

void TextModel::Assign(std::string_view bytes) {
    history_.Clear();
    text_.Assign(bytes);
}

void TextModel::MakeRoom(std::size_t more) {
    const std::size_t budget = capacity_ + kHistoryAllowance;
    while (history_.HeldBytes() > 0 && Size() + history_.HeldBytes() + more > budget) {
        history_.DropOldest();
    }
}

bool TextModel::Append(std::string_view first, std::string_view second) {
    const std::size_t more = first.size() + second.size();
    if (more > capacity_ - std::min(capacity_, Size())) return false;
    if (history_.HeldBytes() > 0) MakeRoom(more);
    text_.Append(first, second);
    return true;
}

bool TextModel::Replace(std::size_t from, std::size_t to, std::string_view bytes, EditKind kind) {
    if (Size() - (to - from) + bytes.size() > capacity_) return false;
    MakeRoom(bytes.size());
    if (kind == EditKind::kTyping && from == to) {
        if (EditStep* step = history_.TypingContinuedAt(from)) {
            text_.Replace(from, to, bytes);
            step->length += bytes.size();
            return true;
        }
    }
    if (Size() + history_.HeldBytes() + bytes.size() > capacity_ + kHistoryAllowance) {
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
    if (Size() - step.length + restored > capacity_) return std::nullopt;
    HeldText taken = text_.Exchange(step.at, step.at + step.length, step.held);
    step.held = std::move(taken);
    step.length = restored;
    return Span{step.at, step.at + restored};
}

std::optional<TextModel::Span> TextModel::Undo() {
    if (!CanUndo()) return std::nullopt;
    const std::optional<Span> span = Swap(history_.NextToUndo());
    if (span) history_.Undone();
    return span;
}

std::optional<TextModel::Span> TextModel::Redo() {
    if (!CanRedo()) return std::nullopt;
    const std::optional<Span> span = Swap(history_.NextToRedo());
    if (span) history_.Redone();
    return span;
}

}  // namespace bukvotok
