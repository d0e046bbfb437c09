// The results box's text and where it wraps on screen, without any window: Windows-1251 bytes
// whose only line break is CR LF, cut into the lines the box shows at a given width.
//
// A line ends after the last space or tab that still fits (spaces at its end may run past the
// width, as in any text box), inside a word only when the word alone is wider than the box, and
// always at a CR LF, which belongs to the line it ends.  Every line holds at least one byte, so
// the lines of any text at any width are finite.  The text after a line's start alone decides
// where that line ends; so an append changes only the last line, and an edit only the lines from
// the one before it until the first line that starts where it started before.
//
// A caret offset is any offset from 0 to Size() except the one between CR and LF.  An offset
// where a line wraps belongs to the line it starts.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "BlockBytes.h"
#include "GrowingArray.h"

namespace bukvotok {

// Bytes that are out of the text, kept to be put back: an undo step's.  Either a copy of them,
// or, when they were most of the text, the whole former text they lie in, with its lines, so
// that neither taking them out nor putting them back copies them.
struct HeldText {
    std::string bytes;
    struct Whole {
        BlockBytes bytes;
        GrowingArray<std::uint32_t> starts;
        std::size_t laid_out_size = 0;
        std::uint64_t layout = 0;  // the metrics the starts were laid out with
        std::size_t from = 0;      // where the held bytes lie in it
        std::size_t length = 0;
    };
    std::unique_ptr<Whole> whole;

    std::size_t Size() const { return whole ? whole->length : bytes.size(); }
    // What holding them costs, in the measure the box's limit is given in: bytes of text.
    std::size_t HeldBytes() const { return whole ? whole->bytes.size() : bytes.size(); }
    std::string Copy() const {
        return whole ? whole->bytes.Copy(whole->from, whole->from + whole->length) : bytes;
    }
};

struct TextMetrics {
    std::array<float, 256> advance{};  // of each byte in the box's font
    float tab_stop = 80;
    float width = 0;  // for the text of a line
};

class WrappedText {
public:
    static constexpr std::size_t kNoLine = static_cast<std::size_t>(-1);

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

    // Lays the whole text out again.
    void SetMetrics(const TextMetrics& metrics);
    const TextMetrics& Metrics() const { return metrics_; }

    // REQUIRES for every text given: each CR followed by LF, each LF preceded by CR, and the
    // result no larger than kMaxSize.
    void Assign(std::string_view bytes);
    // Laid out when the lines are next asked for, so that appending costs a copy only.
    void Append(std::string_view bytes);
    // Both or neither, should memory run out.
    void Append(std::string_view first, std::string_view second) { bytes_.Append(first, second); }
    // Replaces the bytes [from, to) by `bytes`.  REQUIRES: from and to are caret offsets.
    void Replace(std::size_t from, std::size_t to, std::string_view bytes);
    // The same, giving back what was there.  `held` must be what an earlier Exchange gave back,
    // with the text since changed only by Exchanges undone in turn and by appends: then bytes
    // held whole go back without a copy, and a removal of most of the text is held whole.
    HeldText Exchange(std::size_t from, std::size_t to, HeldText& held);
    // Whether Exchange would hold [from, to) whole: a removal of most of the text, and of at
    // least `bytes` (tests make it small to see it).
    bool HoldsWhole(std::size_t from, std::size_t to) const {
        return to - from >= held_whole_from_ && to - from > Size() - (to - from);
    }
    void HoldWholeFrom(std::size_t bytes) { held_whole_from_ = bytes; }
    // For tests: the text's blocks this small.  REQUIRES: an empty text.
    void SetBlockSize(std::size_t bytes) { bytes_ = BlockBytes(bytes); }
    // Empties the text, handing its blocks to be freed later.
    void MoveBlocksTo(std::vector<GrowingArray<char>>& released) {
        bytes_.MoveBlocksTo(released);
        Assign({});
    }

    std::size_t LineCount();
    std::size_t LineStart(std::size_t line);
    // Where the line's text ends: before its CR LF, or where the next line starts.
    std::size_t LineEnd(std::size_t line);
    bool EndsParagraph(std::size_t line);
    std::size_t LineOf(std::size_t offset);

    // The distance from the start of the offset's line to the offset, in pixels.
    float X(std::size_t offset);
    // The caret offset on the line nearest to x.
    std::size_t OffsetAt(std::size_t line, float x) { return OffsetAtUnits(line, ToUnits(x)); }
    std::size_t OffsetAtUnits(std::size_t line, std::int64_t x);
    // The x of `offset` on `line`, when the offset is known to lie on it, in units.
    std::int64_t XOnLine(std::size_t line, std::size_t offset);

    // Widths are added up in 64ths of a pixel: integer sums are exact, so every part of the box
    // puts a letter at the same place, and they are quick to add.
    static constexpr float kUnitsPerPixel = 64;
    static std::int64_t ToUnits(float pixels);
    static float ToPixels(std::int64_t units) { return static_cast<float>(units) / kUnitsPerPixel; }
    // The advance of `byte` at `x`, both in those units; a tab's depends on where it stands.
    std::int64_t Advance(unsigned char byte, std::int64_t x) const {
        if (byte != '\t') return advance_[byte];
        return (x / tab_stop_ + 1) * tab_stop_ - x;
    }

    bool IsCaretOffset(std::size_t offset) const {
        return offset <= bytes_.size() && !(offset > 0 && bytes_[offset - 1] == '\r');
    }

    std::size_t MemoryBytes() const {
        return bytes_.MemoryBytes() + starts_.capacity() * sizeof(std::uint32_t);
    }

private:
    // Where the line after the one that starts at `start` starts, or kNoLine for the last line.
    std::size_t NextLineStart(std::size_t start) const;
    void LayOutTail();
    // The first line whose start an edit at `offset` may move.
    std::size_t FirstLineAffected(std::size_t offset);
    HeldText TakeWhole(std::size_t from, std::size_t to, std::string_view bytes);
    void PutWholeBack(std::size_t to, HeldText::Whole& whole);

    BlockBytes bytes_;
    GrowingArray<std::uint32_t> starts_;  // never empty: the first line starts at 0
    std::size_t laid_out_size_ = 0;       // the size of the text that starts_ describes
    TextMetrics metrics_;
    std::array<std::int32_t, 256> advance_{};
    // The same, but so large for a tab or a line break that they always take the rare path.
    std::array<std::int32_t, 256> layout_advance_{};
    std::int64_t tab_stop_ = 1;
    std::int32_t width_ = 0;
    std::uint64_t layout_ = 0;
    std::size_t held_whole_from_ =
        1 << 20;  // counts the metrics set, so that held lines can be checked
};

}  // namespace bukvotok
