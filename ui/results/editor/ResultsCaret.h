// The results box's caret and selection, as byte offsets into the text, and where the caret
// keys take them.  A vertical move keeps the column it started from, as in any text box.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace bukvotok {

class ResultsDocument;
class ResultsView;

// Where a caret key takes the caret.
enum class CaretMove {
    kNextChar,
    kPreviousChar,
    kNextWord,
    kPreviousWord,
    kNextLine,
    kPreviousLine,
    kNextPage,
    kPreviousPage,
    kStartOfLine,
    kEndOfLine,
    kStartOfDocument,
    kEndOfDocument,
};

class ResultsCaret {
public:
    std::size_t Offset() const { return caret_; }
    std::size_t Anchor() const { return anchor_; }
    bool HasSelection() const { return caret_ != anchor_; }
    std::size_t SelectionStart() const { return std::min(caret_, anchor_); }
    std::size_t SelectionEnd() const { return std::max(caret_, anchor_); }

    // Both ends at once; the column of vertical moves is forgotten.  REQUIRES: caret offsets.
    void Select(std::size_t anchor, std::size_t caret) {
        anchor_ = anchor;
        caret_ = caret;
        column_ = -1;
    }
    // The caret to `offset`, the anchor with it unless `keep_anchor`.
    void MoveTo(std::size_t offset, bool keep_anchor) {
        caret_ = offset;
        if (!keep_anchor) anchor_ = offset;
        column_ = -1;
    }

    // Moves the caret as the key does, the anchor with it unless `select`.
    void Move(CaretMove move, bool select, const ResultsDocument& document, ResultsView& view);

private:
    std::size_t Target(CaretMove move, bool select, const ResultsDocument& document,
                       ResultsView& view);
    std::size_t LineEndTarget(const ResultsDocument& document, ResultsView& view) const;
    std::size_t VerticalTarget(ResultsView& view, long long lines);

    std::size_t caret_ = 0;
    std::size_t anchor_ = 0;
    std::int64_t column_ = -1;  // in layout units, kept over vertical moves
};

}  // namespace bukvotok
