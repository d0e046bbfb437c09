// The lines the results box shows: where the text wraps at the box's width, asked for around
// the places the view needs (what is on screen, where a key or a click goes) and never for the
// whole text at once.
//
// Each line is laid out from the nearest line start known before it: a mark of KnownLines, or a
// paragraph's start.  Marks are kept about every 16 KB, so a line costs a few microseconds to
// find however long the text.  After a change of width, or an edit that moves every later line
// (one word repeated makes every line break move), the marks ahead are laid out again: a little
// at once on the window's thread, the rest on a thread of its own.  Until they are in, the lines
// there are a guess: laid out from places 16 KB apart (just after a blank, where a line may well
// start) as if a line started at each.  A guess is a layout all the same, the same lines
// whoever asks, so the view can move through it; when the marks come in, the guess gives way to
// the true lines, which the view takes by the offset of its top line, so that the text at the top
// stays where it was.
//
// Version() counts the changes that may move lines: hold places by offset, and look them up
// again when it changes.  No member raises an exception but those that say so.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "BlockBytes.h"
#include "KnownLines.h"
#include "LayoutInBackground.h"
#include "LineLayout.h"

namespace bukvotok {

struct LayoutTuning {
    std::size_t spacing = 16 << 10;        // between the marks of laid-out text
    std::size_t guess_spacing = 16 << 10;  // between the places a guess lays out from
    std::size_t walk_limit = 256 << 10;    // the farthest a line is laid out from a mark
    std::size_t at_once = 256 << 10;       // laid out on the window's thread at a time
    // Less than this left to lay out is laid out at once, a millisecond or so: a search appends
    // about that much between two frames, and a thread would hold the block its words go into,
    // so that every append copied it first.
    std::size_t behind_from = 1 << 20;
    std::size_t batch = 16 << 20;  // handed over by the thread at a time
    bool behind = true;            // the rest on a thread; else at_once a call
    // Bytes a line holds at most, besides its line break.
    std::size_t longest_line = LineLayout::kLongestLine;

    // Every line of a laid-out stretch must be found from its mark.  A stretch laid out holds
    // less than `spacing` and two lines with their line breaks; the last one may grow by appends
    // to two spacings and two lines before it is laid out again.  So the walk reaches that far.
    constexpr bool WalksEveryStretch() const {
        return walk_limit >= 2 * spacing + 2 * (longest_line + 2);
    }
};
static_assert(LayoutTuning{}.WalksEveryStretch());

class ViewLines {
public:
    struct Line {
        std::size_t start = 0;
        std::size_t end = 0;  // where the next line starts: after the line break, if one ends it
        bool ends_paragraph = false;
        // Where its text ends, before the line break.
        std::size_t TextEnd() const { return ends_paragraph ? end - 2 : end; }
        bool operator==(const Line&) const = default;
    };

    // `text` is the text shown, which must outlive this.  Raises std::invalid_argument for a
    // tuning that does not walk every stretch.
    explicit ViewLines(const BlockBytes& text, LayoutTuning tuning = {});
    ~ViewLines();
    ViewLines(const ViewLines&) = delete;
    ViewLines& operator=(const ViewLines&) = delete;

    // A new width or font.  Nothing is laid out yet: LayOutSome does that.
    void SetMetrics(const TextMetrics& metrics) noexcept;
    const LineLayout& Layout() const { return layout_; }
    std::uint64_t Version() const { return version_; }

    // --- Told of every change of the text ---
    // Before an edit: raises bad_alloc, so that Edited cannot fail.  Stops the thread first:
    // its share of the blocks would make the edit copy the ones it changes.
    void ReserveForEdit() {
        StopBehind();
        known_.ReserveForEdit();
    }
    void Edited(std::size_t at, std::size_t removed, std::size_t inserted) noexcept;
    void Appended() noexcept {
        ++version_;
        pending_ = true;
    }
    void Replaced() noexcept;

    // --- The lines ---
    // The line that holds `offset` (the end of the text: the last line).  An offset where a
    // line wraps belongs to the line it starts.
    Line LineAt(std::size_t offset);
    std::optional<Line> LineAfter(const Line& line);
    std::optional<Line> LineBefore(const Line& line) {
        if (line.start == 0) return std::nullopt;
        return LineAt(line.start - 1);
    }
    // Whether the line at `offset` is the true one, not a guess.
    bool Exact(std::size_t offset) const;

    // --- Laying out ahead of the view ---
    // Whether marks remain to be laid out, here or behind.
    bool Pending() const { return pending_ || behind_ != nullptr; }
    // Lays out a stretch here, and starts the thread for the rest.  Memory or a thread that
    // cannot be had leave the lines as they are, to be tried again at the next call.
    void LayOutSome() noexcept;
    // Takes in what the thread laid out; true if lines changed.
    bool Poll() noexcept;
    // Lays out everything now, waiting for nothing.  Raises bad_alloc.
    void Finish();
    bool LayingOutBehind() const { return behind_ != nullptr; }

    // How many lines were laid out on this thread, for tests that count the work an action does.
    std::size_t LinesLaidOut() const { return lines_laid_out_; }
    std::size_t MemoryBytes() const;
    const KnownLines& Known() const { return known_; }

private:
    // A stretch laid out from one place, as if a line started there, up to `cut`, where a line
    // is ended if none ends there: the next mark or guessed start.
    struct Region {
        std::size_t start = 0;
        std::size_t cut = 0;
        bool operator==(const Region&) const = default;
    };
    Region RegionOf(std::size_t offset) const;
    // The guessed start near `grid`: just after a blank within a few bytes, else `grid` itself.
    std::size_t GuessAt(std::size_t grid) const;
    std::size_t GuessBefore(std::size_t offset, std::size_t after, std::size_t before) const;
    std::size_t GuessAfter(std::size_t start, std::size_t after, std::size_t before) const;
    // Where the line that starts at `start` ends, cut at `cut`.
    std::size_t EndOfLine(std::size_t start, std::size_t cut);
    Line MakeLine(std::size_t start, std::size_t end) const;
    void StopBehind() noexcept { behind_.reset(); }
    void StartBehind();

    const BlockBytes& text_;
    const LayoutTuning tuning_;
    LineLayout layout_;
    KnownLines known_;
    std::unique_ptr<LayoutInBackground> behind_;
    std::uint64_t version_ = 0;
    bool pending_ = true;
    std::size_t lines_laid_out_ = 0;

    // The lines of one region laid out last, a window of them: consecutive starts, and where
    // the last of them ends.
    struct Walked {
        std::uint64_t version = static_cast<std::uint64_t>(-1);
        Region region;
        std::vector<std::size_t> starts;
        std::size_t end = 0;
    };
    Walked walked_;
};

}  // namespace bukvotok
