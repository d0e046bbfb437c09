// Where a line of the results text ends at the box's width, in the box's font.
//
// A line ends after the last space or tab that still fits (spaces at its end may run past the
// width, as in any text box), inside a word only when the word alone is wider than the box, and
// always at a CR LF, which belongs to the line it ends.  Every line holds at least one byte, and
// every byte but a line break takes some width, so the lines of any text at any width are
// finite, and a line without blanks holds at most as many bytes as the width has units.  Only
// blanks could run a line on further: a line holds at most a set number of bytes besides its
// line break, and a run of blanks longer than that goes on on the next line.  So a line start is
// never farther than that from the one before it, and the view finds any line from a mark.
//
// What a line start depends on: the start of the line after the one at s is decided by the bytes
// from s up to the first byte that does not fit, which lies on that next line (in the word that
// did not fit), or is that line's own first byte that does not fit.  So a line start depends on
// nothing before the start of the line before it, and on nothing after the start of the line
// after it; and the lines after a line start depend on nothing before it.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace bukvotok {

struct TextMetrics {
    std::array<float, 256> advance{};  // of each byte in the box's font
    float tab_stop = 80;
    float width = 0;  // for the text of a line

    bool operator==(const TextMetrics&) const = default;
};

class LineLayout {
public:
    // What NextLineStart gives for the last line of the text.
    static constexpr std::size_t kNoLine = static_cast<std::size_t>(-1);
    // And when it was stopped at its limit before it could tell where the line ends.
    static constexpr std::size_t kUndecided = kNoLine - 1;

    // Bytes a line holds at most, besides its line break.
    static constexpr std::size_t kLongestLine = 64 << 10;

    explicit LineLayout(std::size_t longest_line = kLongestLine)
        : longest_line_(std::max<std::size_t>(longest_line, 1)) {
        SetMetrics({});
    }
    void SetMetrics(const TextMetrics& metrics);
    const TextMetrics& Metrics() const { return metrics_; }

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

    // Where the line after the one that starts at `start` starts: kNoLine for the last line,
    // kUndecided when the bytes up to `limit` do not tell.  Reads no byte at or after `limit`.
    // `bytes` is anything with size() and ForEachPiece (see BlockBytes).
    template <typename Bytes>
    std::size_t NextLineStart(const Bytes& bytes, std::size_t start,
                              std::size_t limit = kNoLine) const;

private:
    // Wider than any box, yet added to a position inside one it cannot overflow.
    static constexpr std::int32_t kAlwaysPastTheEdge = 1 << 28;

    TextMetrics metrics_;
    std::array<std::int32_t, 256> advance_{};
    // The same, but so large for a tab or a line break that they always take the rare path.
    std::array<std::int32_t, 256> layout_advance_{};
    std::int64_t tab_stop_ = 1;
    std::int32_t width_ = 0;
    std::size_t longest_line_;
};

// The hot loop of laying out, with one rare branch: taken when a byte does not fit, and for
// every tab and line break, whose advances make sure of that.  It only adds up advances: where
// the last space was is looked up backwards once the line ends.
template <typename Bytes>
std::size_t LineLayout::NextLineStart(const Bytes& bytes, std::size_t start,
                                      std::size_t limit) const {
    const std::size_t reach = std::min(limit, bytes.size());
    // A line that reaches its longest ends there, unless a break comes first.
    const bool longest = reach > start && reach - start > longest_line_;
    const std::size_t end = longest ? start + longest_line_ : reach;
    std::int32_t x = 0;
    std::size_t after_blank = 0;
    std::size_t next_start = longest ? end : (end == bytes.size() ? kNoLine : kUndecided);
    // Whether a line break or a byte that did not fit ended the line before `end`.
    bool ended = false;
    bytes.ForEachPiece(start, end, [&](std::string_view piece, std::size_t offset) {
        const auto* const data = reinterpret_cast<const unsigned char*>(piece.data());
        // The last space of the piece before `k`, if it comes after the last blank known: looked
        // for only when it is needed, where the line ends, or the piece does.
        const auto last_space = [&](std::size_t k) {
            const std::size_t known = after_blank > offset ? after_blank - offset : 0;
            for (; k > known; --k) {
                if (data[k - 1] == ' ') {
                    after_blank = offset + k;
                    return;
                }
            }
        };
        for (std::size_t k = 0; k < piece.size(); ++k) {
            const unsigned char byte = data[k];
            const std::int32_t next = x + layout_advance_[byte];
            if (next > width_) {
                const std::size_t i = offset + k;
                if (byte == '\r') {
                    next_start = i + 2;
                    ended = true;
                    return false;
                }
                if (byte == ' ' || byte == '\t') {
                    // Blanks never wrap: they run past the edge, to where the next word starts.
                    x = static_cast<std::int32_t>(
                        std::min<std::int64_t>(x + Advance(byte, x), width_ + 1));
                    after_blank = i + 1;
                    continue;
                }
                if (i > start) {
                    last_space(k);
                    next_start = after_blank > start ? after_blank : i;
                    ended = true;
                    return false;
                }
            }
            x = next;
        }
        last_space(piece.size());
        return true;
    });
    if (longest && !ended) {
        // The longest a line holds, then a line break: the break is this line's.  A break just
        // before `end` ended the line already, and the next line starts with the one at `end`.
        bytes.ForEachPiece(end, end + 1, [&](std::string_view piece, std::size_t) {
            if (piece.front() == '\r') next_start = end + 2;
            return false;
        });
    }
    return next_start;
}

}  // namespace bukvotok
