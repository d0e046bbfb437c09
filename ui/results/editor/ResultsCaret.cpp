#include "ResultsCaret.h"

#include "ResultsCaretMoves.h"
#include "ResultsDocument.h"
#include "ResultsView.h"

namespace bukvotok {

std::size_t ResultsCaret::VerticalTarget(ResultsView& view, long long lines) {
    const ViewLines::Line line = view.Lines().LineAt(caret_);
    if (column_ < 0) column_ = view.XOf(caret_);
    const ViewLines::Line target = view.Moved(line, lines);
    if (target == line) return lines < 0 ? line.start : line.TextEnd();
    return view.OffsetAtX(target, column_);
}

// On a wrapped line, before the blank it wraps at, so that the caret stays on the line; at the
// end of a paragraph after everything, its blanks too.
std::size_t ResultsCaret::LineEndTarget(const ResultsDocument& document, ResultsView& view) const {
    const ViewLines::Line line = view.Lines().LineAt(caret_);
    const std::size_t end = line.TextEnd();
    const bool wraps = !line.ends_paragraph && end < document.Size();
    return wraps && end > caret_ && IsBlankByte(document.Bytes()[end - 1]) ? end - 1 : end;
}

std::size_t ResultsCaret::Target(CaretMove move, bool select, const ResultsDocument& document,
                                 ResultsView& view) {
    const BlockBytes& text = document.Bytes();
    const long long page = view.VisibleLines();
    switch (move) {
        case CaretMove::kNextChar:
            return HasSelection() && !select ? SelectionEnd() : NextCaret(text, caret_);
        case CaretMove::kPreviousChar:
            return HasSelection() && !select ? SelectionStart() : PreviousCaret(text, caret_);
        case CaretMove::kNextWord:
            return NextWordStart(text, caret_);
        case CaretMove::kPreviousWord:
            return PreviousWordStart(text, caret_);
        case CaretMove::kNextLine:
            return VerticalTarget(view, 1);
        case CaretMove::kPreviousLine:
            return VerticalTarget(view, -1);
        case CaretMove::kNextPage:
            return VerticalTarget(view, page);
        case CaretMove::kPreviousPage:
            return VerticalTarget(view, -page);
        case CaretMove::kStartOfLine:
            return view.Lines().LineAt(caret_).start;
        case CaretMove::kEndOfLine:
            return LineEndTarget(document, view);
        case CaretMove::kStartOfDocument:
            return 0;
        case CaretMove::kEndOfDocument:
            return text.size();
    }
    return caret_;
}

void ResultsCaret::Move(CaretMove move, bool select, const ResultsDocument& document,
                        ResultsView& view) {
    const std::size_t to = Target(move, select, document, view);
    // A vertical move keeps the column it started from, or took at its first step.
    const bool vertical = move == CaretMove::kNextLine || move == CaretMove::kPreviousLine ||
                          move == CaretMove::kNextPage || move == CaretMove::kPreviousPage;
    const std::int64_t kept = vertical ? column_ : -1;
    MoveTo(to, select);
    column_ = kept;
}

}  // namespace bukvotok
