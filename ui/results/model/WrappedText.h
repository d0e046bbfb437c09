// The results box's text and where it wraps on screen, without any window: Windows-1251 bytes
// whose only line break is CR LF, cut into the lines the box shows at a given width (see
// LineLayout for where a line ends).
//
// An append changes only the last line, and is laid out when the lines are next asked for.  An
// edit lays out again from two lines before it until a line starts where one started before.
// Bytes taken out of the text keep the lines they had, so that putting them back lays out only
// their two ends.  Every edit is all or nothing: when memory runs out, the bytes and the lines
// are as they were.
//
// A caret offset is any offset from 0 to Size() except the one between CR and LF.  An offset
// where a line wraps belongs to the line it starts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "BlockBytes.h"
#include "GrowingArray.h"
#include "LayoutInBackground.h"
#include "LineLayout.h"
#include "LineStarts.h"

namespace bukvotok {

// Bytes out of the text, to be put back in: an undo step's, or what is about to go in.
struct HeldText {
    BlockBytes bytes;
    LineStarts lines;          // starts within `bytes`, counted from its start
    std::uint64_t layout = 0;  // the layout the lines were made in; 0 for none

    std::size_t Size() const { return bytes.size(); }
};

class WrappedText {
public:
    static constexpr std::size_t kNoLine = LineLayout::kNoLine;

    // The largest text the line table can address.
    static constexpr std::size_t kMaxSize = 0x7FFFFFFF;

    WrappedText();

    std::size_t Size() const { return bytes_.size(); }
    char At(std::size_t offset) const { return bytes_[offset]; }
    // Read as bytes: a byte at a time costs a look for its block.
    char operator[](std::size_t offset) const { return bytes_[offset]; }
    std::size_t size() const { return bytes_.size(); }
    std::string Copy(std::size_t from, std::size_t to) const { return bytes_.Copy(from, to); }
    std::string Copy() const { return bytes_.Copy(0, Size()); }
    // The text in pieces, in order: see BlockBytes::ForEachPiece.
    template <typename Visit>
    void ForEachPiece(std::size_t from, std::size_t to, Visit&& visit) const {
        bytes_.ForEachPiece(from, to, std::forward<Visit>(visit));
    }

    // Lays the whole text out again, at once.
    void SetMetrics(const TextMetrics& metrics);
    // The same for a text of any size, as a window must: the lines from `anchor` on, a few
    // screens of them, are laid out at once as if a line started there, and all the lines on a
    // thread of their own.  Until those are in, the text before `anchor` stands as one line, and
    // so does the text after the lines laid out; asking for either (or editing) waits for them.
    void SetMetricsSoon(const TextMetrics& metrics, std::size_t anchor);
    // Whether lines are being laid out in the background.
    bool LayingOut() const { return background_ != nullptr; }
    // Takes the lines laid out in the background if they are done; true if it did.  The lines
    // then change, with their numbers (Numbering counts the times): hold places by offset.
    bool Poll();
    // Waits for the lines laid out in the background, if any: before the user acts on lines.
    void WaitForLines() { Join(); }
    std::size_t Numbering() const { return numbering_; }
    const TextMetrics& Metrics() const { return layout_.Metrics(); }

    // REQUIRES for every text given: each CR followed by LF, each LF preceded by CR, and the
    // result no larger than kMaxSize.
    void Assign(std::string_view bytes) {
        std::vector<GrowingArray<char>> released;
        Assign(bytes, released);
    }
    // The same, handing the old text's blocks to be freed later.  REQUIRES: room in `released`
    // for BlockCount() more.
    void Assign(std::string_view bytes, std::vector<GrowingArray<char>>& released);
    std::size_t BlockCount() const { return bytes_.BlockCount(); }
    // Both or neither.
    void Append(std::string_view first, std::string_view second = {}) {
        bytes_.Append(first, second);
    }

    // Bytes ready to be put in: a copy of `bytes`; the text's [from, to) or `bytes`, sharing
    // their blocks (see BlockBytes::Share).
    HeldText Held(std::string_view bytes) const;
    HeldText HeldCopy(std::size_t from, std::size_t to) const;
    HeldText HeldShare(const BlockBytes& bytes) const;
    // The text's [from, to), sharing its blocks: for the clipboard, at no cost until the text
    // changes where they lie.
    BlockBytes Share(std::size_t from, std::size_t to) const { return bytes_.Share(from, to); }
    // Puts `in` in place of [from, to) and gives back what was there, with its lines.
    // REQUIRES: from and to are caret offsets.
    HeldText Splice(std::size_t from, std::size_t to, HeldText&& in);
    void Replace(std::size_t from, std::size_t to, std::string_view bytes) {
        Splice(from, to, Held(bytes));
    }
    // Moves [from, to) to `dest`, a caret offset outside (from, to).
    void Move(std::size_t from, std::size_t to, std::size_t dest);

    // For tests: the text's blocks this small.  REQUIRES: an empty text.
    void SetBlockSize(std::size_t bytes) { bytes_ = BlockBytes(bytes); }

    std::size_t LineCount();
    std::size_t LineStart(std::size_t line);
    // Where the line's text ends: before its CR LF, or where the next line starts.
    std::size_t LineEnd(std::size_t line);
    bool EndsParagraph(std::size_t line);
    std::size_t LineOf(std::size_t offset);
    // The paragraph around `offset`: from after the CR LF before it to the CR LF after it.
    std::size_t ParagraphStart(std::size_t offset) const;
    std::size_t ParagraphEnd(std::size_t offset) const;

    // The distance from the start of the offset's line to the offset, in pixels.
    float X(std::size_t offset) { return ToPixels(XOnLine(LineOf(offset), offset)); }
    // The caret offset on the line nearest to x.
    std::size_t OffsetAt(std::size_t line, float x) { return OffsetAtUnits(line, ToUnits(x)); }
    std::size_t OffsetAtUnits(std::size_t line, std::int64_t x);
    // The x of `offset` on `line`, when the offset is known to lie on it, in units.
    std::int64_t XOnLine(std::size_t line, std::size_t offset);

    static constexpr float kUnitsPerPixel = LineLayout::kUnitsPerPixel;
    static std::int64_t ToUnits(float pixels) { return LineLayout::ToUnits(pixels); }
    static float ToPixels(std::int64_t units) { return LineLayout::ToPixels(units); }
    std::int64_t Advance(unsigned char byte, std::int64_t x) const {
        return layout_.Advance(byte, x);
    }

    bool IsCaretOffset(std::size_t offset) const {
        return offset <= bytes_.size() && !(offset > 0 && bytes_[offset - 1] == '\r');
    }

    std::size_t MemoryBytes() const { return bytes_.MemoryBytes() + starts_.MemoryBytes(); }

private:
    // Lays out the bytes appended since the lines were last asked for.
    void LayOutTail();
    // While lines are laid out in the background: whether `line` stands for many, and waiting
    // for them, or forgetting them.
    bool StandsForMany(std::size_t line) const {
        return background_ &&
               ((many_before_ && line == 0) || (many_after_ && line + 1 == starts_.Count()));
    }
    void Join();
    void Cancel() {
        background_.reset();
        many_before_ = many_after_ = false;
    }
    // The lines of the text `parts` spells, from those of the text now and of what goes in.
    class Relayout;

    BlockBytes bytes_;
    LineStarts starts_;              // never empty: the first line starts at 0
    std::size_t laid_out_size_ = 0;  // the size of the text that starts_ describes
    LineLayout layout_;
    std::unique_ptr<LayoutInBackground> background_;
    bool many_before_ = false;  // line 0 stands for the text before the lines laid out at once
    bool many_after_ = false;   // and the last line for the text after them
    std::size_t numbering_ = 0;
};

}  // namespace bukvotok
