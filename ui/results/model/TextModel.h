// The results text as the user edits it: the bytes and their lines, the undo history, and the
// limit that both share.  No window: the results box shows it and turns keys into its edits.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

#include "EditHistory.h"
#include "WrappedText.h"

namespace bukvotok {

class TextModel {
public:
    struct Tuning {
        // The history may take the text and itself this far past the limit, so that replacing
        // a full text with a few typed letters can still be undone.  The text alone stays
        // within the limit.
        std::size_t history_allowance = 1 << 20;
        // See WrappedText::HoldsWhole.
        std::size_t held_whole_from = 1 << 20;
        std::size_t block_size = BlockBytes::kBlockSize;
    };
    TextModel();
    explicit TextModel(Tuning tuning);

    struct Span {
        std::size_t from;
        std::size_t to;
    };
    enum class EditKind { kTyping, kOther };

    WrappedText& Text() { return text_; }
    const WrappedText& Text() const { return text_; }
    std::size_t Size() const { return text_.Size(); }

    std::size_t Capacity() const { return capacity_; }
    void SetCapacity(std::size_t bytes);
    std::size_t HistoryBytes() const { return history_.HeldBytes(); }

    // A new text, with no history.  REQUIRES: it fits.  The memory of the old one is freed
    // by ReleaseSome.
    void Assign(std::string_view bytes);
    // Frees part of what Assign let go: freeing gigabytes at once takes a fifth of a second.
    // True while some is left.
    bool ReleaseSome();
    // At the end, not a step of the history.  False, with nothing appended, when the text would
    // pass the limit.  Both pieces or neither, should memory run out.
    bool Append(std::string_view first, std::string_view second = {});
    // Replaces [from, to) as one step, or as part of the typing step before it.  False, with
    // nothing changed, when the text would grow past the limit.  REQUIRES: caret offsets.
    bool Replace(std::size_t from, std::size_t to, std::string_view bytes, EditKind kind);

    bool CanUndo() const { return history_.CanUndo(); }
    bool CanRedo() const { return history_.CanRedo(); }
    const EditHistory& History() const { return history_; }
    // Where the bytes put back lie, or nothing when they would take the text past its limit.
    std::optional<Span> Undo();
    std::optional<Span> Redo();
    // Typing after this is a step of its own.
    void EndTyping() { history_.StopMerging(); }

private:
    // Drops the oldest steps until the history fits beside `text` bytes of memory.
    void MakeRoom(std::size_t text);
    std::size_t Budget() const { return capacity_ + tuning_.history_allowance; }
    std::optional<Span> Swap(EditStep& step);

    WrappedText text_;
    EditHistory history_;
    std::size_t capacity_ = WrappedText::kMaxSize;
    Tuning tuning_;
    std::vector<GrowingArray<char>> released_;
};

}  // namespace bukvotok
