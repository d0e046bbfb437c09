#include "TextModel.h"

#include <algorithm>

namespace bukvotok {

TextModel::TextModel() : TextModel(Tuning{}) {}

TextModel::TextModel(Tuning tuning) : text_(tuning.block_size), tuning_(tuning) {}

std::size_t TextModel::Budget() const {
    return capacity_ + std::max(tuning_.history_allowance, capacity_ / 32);
}

void TextModel::SetCapacity(std::size_t bytes) {
    capacity_ = std::min(bytes, kMaxSize);
    while (history_.HeldBytes() > 0 && Size() + history_.HeldBytes() > Budget()) {
        Drops drops;
        (history_.CanRedo() ? drops.redo : drops.oldest) = 1;
        const EditStep& step =
            history_.CanRedo() ? history_.At(history_.Count() - 1) : history_.At(0);
        released_.reserve(released_.size() + EditHistory::BlockCount(step));
        Apply(drops);
    }
}

void TextModel::Assign(std::string_view bytes) {
    std::size_t blocks = text_.BlockCount();
    for (std::size_t i = 0; i < history_.Count(); ++i) {
        blocks += EditHistory::BlockCount(history_.At(i));
    }
    BlockBytes text = BlockBytes::CopyOf(bytes, tuning_.block_size);
    released_.reserve(released_.size() + blocks);
    // From here nothing allocates.
    const std::size_t removed = text_.size();
    text_.MoveBlocksTo(released_);
    text_ = std::move(text);
    history_.Clear(released_);
    saved_by_ = 0;
    Changed(0, removed, text_.size());
}

bool TextModel::ReleaseSome() {
    // About 64 MB, a few milliseconds.
    constexpr std::size_t kBlocksAtATime = 64;
    const std::size_t keep = released_.size() - std::min(released_.size(), kBlocksAtATime);
    released_.resize(keep);
    if (keep == 0) released_.shrink_to_fit();
    return keep > 0;
}

bool TextModel::Refuse(Refusal refusal) {
    refusal_ = refusal;
    kept_in_the_way_ = 0;
    return false;
}

bool TextModel::Refuse(const Drops& drops) {
    Refuse(drops.refusal);
    kept_in_the_way_ = drops.kept_in_the_way;
    forget_oldest_ = drops.oldest;
    return false;
}

TextModel::Drops TextModel::PlanForEdit(std::size_t text_after, std::size_t step_cost,
                                        bool new_step) const {
    Drops drops;
    std::size_t held = history_.HeldBytes();
    if (new_step) {
        // A new step discards the steps undone: their room is free first.
        drops.redo = history_.RedoCount();
        for (std::size_t i = history_.UndoCount(); i < history_.Count(); ++i) {
            held -= history_.At(i).Cost();
            drops.blocks += EditHistory::BlockCount(history_.At(i));
        }
    }
    // Typing that goes on keeps its own step, the last one done.
    const std::size_t droppable = history_.UndoCount() - (new_step ? 0 : 1);
    // Kept steps may not go; whether the edit would fit if they did is for the user to hear.
    std::size_t kept = 0;
    while (text_after + held + step_cost > Budget() && drops.oldest < droppable) {
        const EditStep& step = history_.At(drops.oldest);
        if (Kept(step)) {
            drops.refusal = Refusal::kKept;
            kept += step.held.size();
        }
        held -= step.Cost();
        drops.blocks += EditHistory::BlockCount(step);
        ++drops.oldest;
    }
    drops.fits = text_after + held + step_cost <= Budget();
    if (kept > 0) {
        drops.kept_in_the_way = drops.fits ? kept : 0;
        drops.fits = false;
    }
    return drops;
}

bool TextModel::Before(const EditStep& step) const {
    return search_marks_.empty() || step.touched < search_marks_.front();
}

TextModel::Drops TextModel::PlanForAppend(std::size_t text_after) const {
    // The steps undone go from the newest, the steps done from the oldest, each up to the first
    // that may not go.  When a kept step stops the steps undone, the oldest steps done may still
    // make the room, and nothing the user holds is lost.
    const auto plan = [&](bool kept_may_go) {
        Drops drops;
        std::size_t held = history_.HeldBytes();
        std::size_t kept = 0;
        const auto may_go = [&](const EditStep& step) {
            if (!Before(step)) return false;
            if (!Kept(step)) return true;
            drops.refusal = Refusal::kKept;
            kept += step.held.size();
            return kept_may_go;
        };
        while (text_after + held > capacity_ && drops.redo < history_.RedoCount()) {
            const EditStep& step = history_.At(history_.Count() - 1 - drops.redo);
            if (!may_go(step)) break;
            held -= step.Cost();
            drops.blocks += EditHistory::BlockCount(step);
            ++drops.redo;
        }
        while (text_after + held > capacity_ && drops.oldest < history_.UndoCount()) {
            const EditStep& step = history_.At(drops.oldest);
            if (!may_go(step)) break;
            held -= step.Cost();
            drops.blocks += EditHistory::BlockCount(step);
            ++drops.oldest;
        }
        drops.fits = text_after + held <= capacity_;
        if (kept_may_go && kept > 0) {
            // Whether forgetting the kept steps from before the search would do is for the user
            // to hear.
            drops.kept_in_the_way = drops.fits ? kept : 0;
            drops.fits = false;
        }
        return drops;
    };
    const Drops drops = plan(false);
    return drops.fits ? drops : plan(true);
}

template <typename Which>
TextModel::Removed TextModel::HeldBy(Which&& which) const {
    Removed removed;
    for (std::size_t i = 0; i < history_.Count(); ++i) {
        const EditStep& step = history_.At(i);
        if (!which(step)) continue;
        (i < history_.UndoCount() ? removed.by_undo : removed.by_redo) += step.held.size();
    }
    return removed;
}

TextModel::Removed TextModel::KeptBeforeSearchByKey() const {
    return HeldBy([this](const EditStep& step) { return Before(step) && Kept(step); });
}

TextModel::Removed TextModel::HeldSinceSearch() const {
    return HeldBy([this](const EditStep& step) { return !Before(step); });
}

TextModel::Removed TextModel::KeptByKey() const {
    return HeldBy([this](const EditStep& step) { return Kept(step); });
}

// The user's word holds whatever happens to the files.
void TextModel::ForgetKeptBeforeSearch() {
    for (std::size_t i = 0; i < history_.Count(); ++i) {
        EditStep& step = history_.Mutable(i);
        if (Before(step)) {
            step.expendable = true;
            step.saved_in = 0;
        }
    }
}

void TextModel::ForgetKeptInTheWay() {
    for (std::size_t i = 0; i < std::min(forget_oldest_, history_.UndoCount()); ++i) {
        EditStep& step = history_.Mutable(i);
        if (Kept(step)) {
            step.expendable = true;
            step.saved_in = 0;
        }
    }
}

std::uint64_t TextModel::MarkSaved() {
    saved_state_ = history_.State();
    saved_by_ = ++saves_;
    return saved_by_;
}

void TextModel::ForgetSave(std::uint64_t save) {
    if (save == 0) return;
    for (std::size_t i = 0; i < history_.Count(); ++i) {
        EditStep& step = history_.Mutable(i);
        if (step.saved_in == save) {
            step.expendable = false;
            step.saved_in = 0;
        }
    }
    if (saved_by_ == save) saved_by_ = 0;
}

void TextModel::Apply(const Drops& drops) noexcept {
    for (std::size_t i = 0; i < drops.redo; ++i) history_.DropFarthestRedo(released_);
    for (std::size_t i = 0; i < drops.oldest; ++i) history_.DropOldest(released_);
    // A saved state that undo and redo no longer reach is saved no more: a new step drops the
    // steps undone, and with them a saved state among them.
    if (saved_state_ < history_.FirstState() || saved_state_ > history_.LastState()) {
        saved_by_ = 0;
    }
}

bool TextModel::Append(std::string_view first, std::string_view second) {
    const std::size_t more = first.size() + second.size();
    if (more == 0) return true;
    if (more > capacity_ - std::min(capacity_, Size())) return Refuse(Refusal::kText);
    const std::size_t at = Size();
    if (Size() + more + history_.HeldBytes() <= capacity_) {
        text_.Append(first, second);
        Changed(at, 0, more);
        saved_by_ = 0;
        return true;
    }
    const Drops drops = PlanForAppend(Size() + more);
    if (!drops.fits) return Refuse(drops);
    released_.reserve(released_.size() + drops.blocks);
    text_.Append(first, second);
    Apply(drops);
    Changed(at, 0, more);
    saved_by_ = 0;  // every state holds the words now, and no file does
    return true;
}

void TextModel::AppendWords(std::string_view spaced, std::size_t& taken) {
    const std::size_t from = taken;
    // The words that went in are changes, whether or not the rest raised.
    const auto note = [&] {
        const std::string_view in = spaced.substr(from, taken - from);
        if (in.empty()) return;
        const std::size_t space = in.rfind(' ');
        const std::size_t last = space == std::string_view::npos ? 0 : space;
        Changed(Size() - (in.size() - last), 0, in.size() - last);
        const auto words = static_cast<std::uint64_t>(std::count(in.begin(), in.end(), ' ')) +
                           (in.front() == ' ' ? 0 : 1);
        changes_ += words - 1;
        saved_by_ = 0;
    };
    try {
        text_.AppendWords(spaced, taken);
    } catch (...) {
        note();
        throw;
    }
    note();
}

template <typename MakeIn>
bool TextModel::Edit(std::size_t from, std::size_t to, std::size_t inserted, EditKind kind,
                     MakeIn&& make_in) {
    const std::size_t removed = to - from;
    if (removed == 0 && inserted == 0) return true;
    const std::size_t new_size = Size() - removed + inserted;
    if (new_size > capacity_ && new_size > Size()) return Refuse(Refusal::kText);
    const bool typing = kind == EditKind::kTyping;
    if (typing && removed == 0 && history_.TypingContinuedAt(from) != nullptr) {
        const Drops drops = PlanForEdit(new_size, 0, false);
        if (!drops.fits) return Refuse(drops);
        released_.reserve(released_.size() + drops.blocks);
        text_.Splice(from, to, make_in());
        // From here nothing can fail.  The state the typing step leads to changes.
        if (Saved()) saved_by_ = 0;
        Changed(from, removed, inserted);
        Apply(drops);
        EditStep& step = history_.NextToUndo();
        const std::size_t cost_before = step.Cost();
        step.length += inserted;
        step.touched = ++stamp_;
        history_.Changed(step, cost_before);
        return true;
    }
    const std::size_t step_cost = removed + sizeof(EditStep);
    const Drops drops = PlanForEdit(new_size, step_cost, true);
    if (!drops.fits) return Refuse(drops);
    history_.Reserve();
    released_.reserve(released_.size() + drops.blocks);
    EditStep step;
    step.held = text_.Splice(from, to, make_in());
    // From here nothing can fail.
    TakenFromHere(step);
    Changed(from, removed, inserted);
    step.at = from;
    step.length = inserted;
    step.typing = typing;
    step.touched = ++stamp_;
    Apply(drops);
    history_.Record(std::move(step));
    return true;
}

bool TextModel::Replace(std::size_t from, std::size_t to, std::string_view bytes, EditKind kind) {
    return Edit(from, to, bytes.size(), kind,
                [&] { return BlockBytes::CopyOf(bytes, tuning_.block_size); });
}

bool TextModel::InsertShared(std::size_t at, std::size_t from, std::size_t to) {
    return Edit(at, at, to - from, EditKind::kOther, [&] { return text_.Share(from, to); });
}

bool TextModel::ReplaceShared(std::size_t from, std::size_t to, const BlockBytes& bytes) {
    return Edit(from, to, bytes.size(), EditKind::kOther,
                [&] { return bytes.Share(0, bytes.size()); });
}

bool TextModel::Clear() {
    EndTyping();
    return Edit(0, Size(), 0, EditKind::kOther, [this] { return BlockBytes(tuning_.block_size); });
}

bool TextModel::Move(std::size_t from, std::size_t to, std::size_t dest) {
    if (from >= to || (dest >= from && dest <= to)) return true;
    const Drops drops = PlanForEdit(Size(), sizeof(EditStep), true);
    if (!drops.fits) return Refuse(drops);
    history_.Reserve();
    released_.reserve(released_.size() + drops.blocks);
    text_.Move(from, to, dest);
    // From here nothing can fail.  The step holds the move that undoes this one.
    const std::size_t first = std::min(from, dest);
    const std::size_t span = std::max(to, dest) - first;
    Changed(first, span, span);
    EditStep step;
    step.kind = EditStep::Kind::kMove;
    step.length = to - from;
    step.at = dest < from ? dest : dest - step.length;
    step.to = from < step.at ? from : from + step.length;
    step.touched = ++stamp_;
    Apply(drops);
    history_.Record(std::move(step));
    return true;
}

std::optional<TextModel::Span> TextModel::Swap(EditStep& step) {
    if (step.kind == EditStep::Kind::kMove) {
        text_.Move(step.at, step.at + step.length, step.to);
        const std::size_t first = std::min(step.at, step.to);
        const std::size_t span = std::max(step.at + step.length, step.to) - first;
        Changed(first, span, span);
        const std::size_t lands = step.to < step.at ? step.to : step.to - step.length;
        step.to = step.at < lands ? step.at : step.at + step.length;
        step.at = lands;
        return Span{lands, lands + step.length};
    }
    const std::size_t restored = step.held.size();
    BlockBytes taken = text_.Splice(step.at, step.at + step.length, std::move(step.held));
    // What it takes out now comes from the state it leaves.
    TakenFromHere(step);
    Changed(step.at, step.length, restored);
    step.held = std::move(taken);
    step.length = restored;
    return Span{step.at, step.at + restored};
}

std::optional<TextModel::Span> TextModel::Undo() {
    if (!CanUndo()) return std::nullopt;
    EditStep& step = history_.NextToUndo();
    const std::size_t cost_before = step.Cost();
    const std::optional<Span> span = Swap(step);
    step.touched = ++stamp_;
    history_.Undone(cost_before);
    return span;
}

std::optional<TextModel::Span> TextModel::Redo() {
    if (!CanRedo()) return std::nullopt;
    EditStep& step = history_.NextToRedo();
    const std::size_t cost_before = step.Cost();
    const std::optional<Span> span = Swap(step);
    step.touched = ++stamp_;
    history_.Redone(cost_before);
    return span;
}

void TextModel::BeginSearch() { search_marks_.push_back(++stamp_); }

void TextModel::EndSearch() {
    if (!search_marks_.empty()) search_marks_.pop_back();
}

}  // namespace bukvotok
