#include "ResultsDocument.h"

#include <new>

#include "ResultsErrors.h"

namespace bukvotok {

ResultsDocument::ResultsDocument() = default;

std::size_t ResultsDocument::RoomFor(std::size_t from, std::size_t to) const {
    const std::size_t kept = Size() - (to - from);
    return Capacity() > kept ? Capacity() - kept : 0;
}

void ResultsDocument::Changed() noexcept {
    const TextModel::Change& change = model_.LastChange();
    lines_->Edited(change.at, change.removed, change.inserted);
}

void ResultsDocument::Assign(std::string_view bytes) {
    if (bytes.size() > Capacity()) {
        throw ResultsFullError(Capacity(), false, TextModel::Refusal::kText);
    }
    model_.Assign(bytes);
    lines_->Replaced();
}

bool ResultsDocument::Append(std::string_view first, std::string_view second) {
    if (!model_.Append(first, second)) {
        if (model_.LastRefusal() == TextModel::Refusal::kKept) return false;
        throw ResultsFullError(Capacity(), true, model_.LastRefusal());
    }
    lines_->Appended();
    return true;
}

template <typename Call>
void ResultsDocument::Edit(Call&& call) {
    bool made = false;
    try {
        lines_->ReserveForEdit();
        made = call();
    } catch (const std::bad_alloc&) {
        throw ResultsOutOfMemoryError();
    }
    if (!made) {
        throw ResultsFullError(Capacity(), false, model_.LastRefusal(), model_.KeptBytes());
    }
    Changed();
}

void ResultsDocument::Replace(std::size_t from, std::size_t to, std::string_view bytes,
                              EditKind kind) {
    if (from == to && bytes.empty()) return;
    Edit([&] { return model_.Replace(from, to, bytes, kind); });
}

void ResultsDocument::PutShared(std::size_t from, std::size_t to, const BlockBytes& bytes) {
    if (from == to && bytes.empty()) return;
    Edit([&] { return model_.ReplaceShared(from, to, bytes); });
}

void ResultsDocument::Move(std::size_t from, std::size_t to, std::size_t dest) {
    if (from >= to || (dest >= from && dest <= to)) return;
    Edit([&] { return model_.Move(from, to, dest); });
}

void ResultsDocument::Clear() {
    if (Size() == 0) return;
    Edit([&] { return model_.Clear(); });
}

std::optional<ResultsDocument::Span> ResultsDocument::Undo() {
    if (!CanUndo()) return std::nullopt;
    std::optional<Span> span;
    Edit([&] { return (span = model_.Undo()).has_value(); });
    return span;
}

std::optional<ResultsDocument::Span> ResultsDocument::Redo() {
    if (!CanRedo()) return std::nullopt;
    std::optional<Span> span;
    Edit([&] { return (span = model_.Redo()).has_value(); });
    return span;
}

}  // namespace bukvotok
