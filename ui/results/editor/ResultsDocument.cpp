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
        if (model_.KeptInTheWay() > 0) return false;
        // Kept text in the way, but so are steps made since the search began: those are what
        // letting it go would not help with.
        const TextModel::Refusal reason = model_.LastRefusal() == TextModel::Refusal::kKept
                                              ? TextModel::Refusal::kHistory
                                              : model_.LastRefusal();
        throw ResultsFullError(Capacity(), true, reason, model_.HeldSinceSearch());
    }
    lines_->Appended();
    return true;
}

void ResultsDocument::AppendWords(std::string_view spaced, std::size_t& taken) {
    const std::size_t from = taken;
    try {
        model_.AppendWords(spaced, taken);
    } catch (...) {
        if (taken != from) lines_->Appended();
        throw;
    }
    if (taken != from) lines_->Appended();
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
        if (model_.KeptInTheWay() > 0) throw ResultsKeptInTheWayError(model_.KeptInTheWay());
        // Kept text in the way, and the edit could not be undone even without it.
        const TextModel::Refusal reason = model_.LastRefusal() == TextModel::Refusal::kKept
                                              ? TextModel::Refusal::kHistory
                                              : model_.LastRefusal();
        throw ResultsFullError(Capacity(), false, reason);
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
