#include "ResultsCaret.h"

#include <QKeyEvent>
#include <QKeySequence>

#include "ResultsCaretMoves.h"
#include "ResultsDocument.h"
#include "ResultsViewport.h"

namespace bukvotok {

std::size_t ResultsCaret::VerticalTarget(ResultsViewport& view, long long lines) {
    const ViewLines::Line line = view.Lines().LineAt(caret_);
    if (column_ < 0) column_ = view.XOf(caret_);
    const ViewLines::Line target = view.Moved(line, lines);
    if (target == line) return lines < 0 ? line.start : line.TextEnd();
    return view.OffsetAtX(target, column_);
}

// On a wrapped line, before the blank it wraps at, so that the caret stays on the line; at the
// end of a paragraph after everything, its blanks too.
std::size_t ResultsCaret::LineEndTarget(const ResultsDocument& document,
                                        ResultsViewport& view) const {
    const ViewLines::Line line = view.Lines().LineAt(caret_);
    const std::size_t end = line.TextEnd();
    const bool wraps = !line.ends_paragraph && end < document.Size();
    return wraps && end > caret_ && IsBlankByte(document.Bytes()[end - 1]) ? end - 1 : end;
}

std::optional<ResultsCaret::KeyMove> ResultsCaret::MoveFor(const QKeyEvent& event,
                                                           const ResultsDocument& document,
                                                           ResultsViewport& view) {
    struct Move {
        QKeySequence::StandardKey move;
        QKeySequence::StandardKey select;
        bool vertical;
    };
    static const Move kMoves[] = {
        {QKeySequence::MoveToNextChar, QKeySequence::SelectNextChar, false},
        {QKeySequence::MoveToPreviousChar, QKeySequence::SelectPreviousChar, false},
        {QKeySequence::MoveToNextWord, QKeySequence::SelectNextWord, false},
        {QKeySequence::MoveToPreviousWord, QKeySequence::SelectPreviousWord, false},
        {QKeySequence::MoveToNextLine, QKeySequence::SelectNextLine, true},
        {QKeySequence::MoveToPreviousLine, QKeySequence::SelectPreviousLine, true},
        {QKeySequence::MoveToNextPage, QKeySequence::SelectNextPage, true},
        {QKeySequence::MoveToPreviousPage, QKeySequence::SelectPreviousPage, true},
        {QKeySequence::MoveToStartOfLine, QKeySequence::SelectStartOfLine, false},
        {QKeySequence::MoveToEndOfLine, QKeySequence::SelectEndOfLine, false},
        {QKeySequence::MoveToStartOfBlock, QKeySequence::SelectStartOfBlock, false},
        {QKeySequence::MoveToEndOfBlock, QKeySequence::SelectEndOfBlock, false},
        {QKeySequence::MoveToStartOfDocument, QKeySequence::SelectStartOfDocument, false},
        {QKeySequence::MoveToEndOfDocument, QKeySequence::SelectEndOfDocument, false},
    };
    const BlockBytes& text = document.Bytes();
    const long long page = view.VisibleLines();
    const bool shift = event.modifiers() & Qt::ShiftModifier;
    for (const Move& move : kMoves) {
        const bool select = event.matches(move.select);
        if (!select && !event.matches(move.move)) continue;
        std::size_t to = caret_;
        switch (move.move) {
            case QKeySequence::MoveToNextChar:
                to = HasSelection() && !shift ? SelectionEnd() : NextCaret(text, caret_);
                break;
            case QKeySequence::MoveToPreviousChar:
                to = HasSelection() && !shift ? SelectionStart() : PreviousCaret(text, caret_);
                break;
            case QKeySequence::MoveToNextWord:
                to = NextWordStart(text, caret_);
                break;
            case QKeySequence::MoveToPreviousWord:
                to = PreviousWordStart(text, caret_);
                break;
            case QKeySequence::MoveToNextLine:
                to = VerticalTarget(view, 1);
                break;
            case QKeySequence::MoveToPreviousLine:
                to = VerticalTarget(view, -1);
                break;
            case QKeySequence::MoveToNextPage:
                to = VerticalTarget(view, page);
                break;
            case QKeySequence::MoveToPreviousPage:
                to = VerticalTarget(view, -page);
                break;
            case QKeySequence::MoveToStartOfLine:
                to = view.Lines().LineAt(caret_).start;
                break;
            case QKeySequence::MoveToEndOfLine:
                to = LineEndTarget(document, view);
                break;
            case QKeySequence::MoveToStartOfBlock:
                to = text.ParagraphStart(caret_);
                break;
            case QKeySequence::MoveToEndOfBlock:
                to = text.ParagraphEnd(caret_);
                break;
            case QKeySequence::MoveToStartOfDocument:
                to = 0;
                break;
            case QKeySequence::MoveToEndOfDocument:
                to = text.size();
                break;
            default:
                break;
        }
        // A vertical move keeps the column it started from, or took at its first step.
        const std::int64_t kept = move.vertical ? column_ : -1;
        MoveTo(to, select);
        column_ = kept;
        return KeyMove{to, select};
    }
    return std::nullopt;
}

}  // namespace bukvotok
