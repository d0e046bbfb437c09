// What is known of where the results text's lines start at the box's width: a few of the line
// starts, marks about every `spacing` bytes where the lines were laid out, and for each stretch
// between two marks whether it was.  Memory grows with the text divided by the spacing, not with
// its lines; the lines themselves are laid out again from the nearest mark when they are needed.
//
// A mark is `verified` when it is a line start of the text as it is now, and `laid_out` when the
// lines from it to the next mark (or the end) were laid out from it: laying out from a mark that
// is laid out reaches the next mark exactly.  A verified mark that is laid out makes the next one
// verified.  Offset 0 is always a verified mark.  An edit leaves the marks before it, less the
// two nearest it (a line start depends on the bytes up to the start of the line after it), and
// the marks of later paragraphs, shifted; the marks after it in its own paragraph stay as
// candidates, not verified: where laying out from before the edit meets one exactly, all it knew
// holds again, since lines after a line start depend on nothing before it.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "BlockBytes.h"

namespace bukvotok {

class KnownLines {
public:
    struct Mark {
        std::size_t offset = 0;
        bool verified = false;
        bool laid_out = false;
    };

    // A stretch to lay out: from a verified mark that is not laid out, or from the last mark
    // when much was appended after it, to `to`, the next verified mark (kToTheEnd for none),
    // meeting the candidates on the way.
    static constexpr std::size_t kToTheEnd = static_cast<std::size_t>(-1);
    struct Work {
        std::size_t from = 0;
        std::size_t to = kToTheEnd;
        std::vector<std::size_t> candidates;
    };

    // What laying out a stretch found: line starts about `spacing` apart after `from`, each
    // followed by another line, and where it ended.
    struct Run {
        enum class End {
            kMet,      // at `to`, a mark it met exactly
            kEnd,      // at the end of the text
            kStopped,  // at `starts.back()`, with more to lay out after it
        };
        std::size_t from = 0;
        std::vector<std::size_t> starts;
        std::size_t to = 0;
        End end = End::kEnd;
    };

    KnownLines();

    const std::vector<Mark>& Marks() const { return marks_; }
    // The last mark at or before `offset`.
    std::size_t MarkBefore(std::size_t offset) const;

    // Nothing known but that a line starts at 0: a new text or a new width.  Allocates nothing.
    void Reset() noexcept;

    // Room for what Edited adds, so that it cannot fail: before the text changes.
    void ReserveForEdit() { marks_.reserve(marks_.size() + 2); }
    // The text's [at, at + removed) became [at, at + inserted); `text` is the text after.
    // REQUIRES: ReserveForEdit() since the last change.
    void Edited(const BlockBytes& text, std::size_t at, std::size_t removed,
                std::size_t inserted) noexcept;

    // The first stretch that needs laying out, if any: a text of `size` bytes, with marks wanted
    // every `spacing` bytes.
    std::optional<Work> NextWork(std::size_t size, std::size_t spacing) const;
    // Takes in what a run laid out.  False, with nothing changed, when the marks no longer fit
    // it (the text changed since).  Raises bad_alloc, with nothing changed.
    bool Merge(const Run& run);

    std::size_t MemoryBytes() const { return marks_.capacity() * sizeof(Mark); }

private:
    // The mark is a line start, and so are the marks its laid-out stretches lead to.  Gives the
    // first of them that is not laid out (or the last mark): the marks before it from `index`
    // on are verified and laid out.
    std::size_t Verify(std::size_t index) noexcept;

    std::vector<Mark> marks_;  // ascending, each before the text's end
    // The marks before this one are verified and laid out: NextWork looks no further back.
    mutable std::size_t settled_ = 0;
    // How far the text was laid out to its end, last time: appends after that are laid out once
    // they make a stretch worth a mark.
    std::size_t laid_out_to_end_ = 0;
};

}  // namespace bukvotok
