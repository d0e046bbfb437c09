// The results box's keys and input methods: caret moves, typing and the editing keys.  Where
// a key takes the caret is ResultsCaretMoves'; every change of the text goes through
// ResultsBox::Edit.
#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <algorithm>

#include "ResultsBox.h"
#include "ResultsCaretMoves.h"
#include "ResultsCodec.h"

namespace bukvotok {

// Ctrl+Y as well as the desktop's own redo key, as the platform's text boxes take both.
bool ResultsBox::IsRedoKey(const QKeyEvent* event) {
    return event->matches(QKeySequence::Redo) ||
           event->keyCombination() == QKeyCombination(Qt::ControlModifier, Qt::Key_Y);
}

std::size_t ResultsBox::VerticalTarget(std::size_t offset, long long lines) {
    const std::size_t line = Text().LineOf(offset);
    if (desired_x_ < 0) desired_x_ = Text().XOnLine(line, offset);
    const auto last = static_cast<long long>(Text().LineCount() - 1);
    const long long target = std::clamp(static_cast<long long>(line) + lines, 0LL, last);
    if (target == static_cast<long long>(line)) return lines < 0 ? 0 : Text().Size();
    return Text().OffsetAtUnits(static_cast<std::size_t>(target), desired_x_);
}

void ResultsBox::MoveCaret(std::size_t offset, bool keep_anchor) {
    caret_ = offset;
    if (!keep_anchor) anchor_ = offset;
    EnsureVisible(caret_);
    RestartCaretBlink();
    viewport()->update();
}

// On a wrapped line, before the blank it wraps at, so that the caret stays on the line; at the
// end of a paragraph after everything, its blanks too.
std::size_t ResultsBox::LineEndTarget(std::size_t offset) {
    const std::size_t line = Text().LineOf(offset);
    const std::size_t end = Text().LineEnd(line);
    const bool wraps = line + 1 < Text().LineCount() && !Text().EndsParagraph(line);
    return wraps && end > offset && IsBlankByte(Text()[end - 1]) ? end - 1 : end;
}

bool ResultsBox::HandleMoveKey(const QKeyEvent* event) {
    struct Move {
        QKeySequence::StandardKey move;
        QKeySequence::StandardKey select;
    };
    const long long page = VisibleLines();
    const auto target = [&](QKeySequence::StandardKey key) -> std::size_t {
        switch (key) {
            case QKeySequence::MoveToNextChar:
                return HasSelection() && !(event->modifiers() & Qt::ShiftModifier)
                           ? SelectionEnd()
                           : NextCaret(Text(), caret_);
            case QKeySequence::MoveToPreviousChar:
                return HasSelection() && !(event->modifiers() & Qt::ShiftModifier)
                           ? SelectionStart()
                           : PreviousCaret(Text(), caret_);
            case QKeySequence::MoveToNextWord:
                return NextWordStart(Text(), caret_);
            case QKeySequence::MoveToPreviousWord:
                return PreviousWordStart(Text(), caret_);
            case QKeySequence::MoveToNextLine:
                return VerticalTarget(caret_, 1);
            case QKeySequence::MoveToPreviousLine:
                return VerticalTarget(caret_, -1);
            case QKeySequence::MoveToNextPage:
                return VerticalTarget(caret_, page);
            case QKeySequence::MoveToPreviousPage:
                return VerticalTarget(caret_, -page);
            case QKeySequence::MoveToStartOfLine:
                return Text().LineStart(Text().LineOf(caret_));
            case QKeySequence::MoveToEndOfLine:
                return LineEndTarget(caret_);
            case QKeySequence::MoveToStartOfBlock:
                return Text().ParagraphStart(caret_);
            case QKeySequence::MoveToEndOfBlock:
                return Text().ParagraphEnd(caret_);
            case QKeySequence::MoveToStartOfDocument:
                return 0;
            case QKeySequence::MoveToEndOfDocument:
                return Text().Size();
            default:
                return caret_;
        }
    };
    static const Move kMoves[] = {
        {QKeySequence::MoveToNextChar, QKeySequence::SelectNextChar},
        {QKeySequence::MoveToPreviousChar, QKeySequence::SelectPreviousChar},
        {QKeySequence::MoveToNextWord, QKeySequence::SelectNextWord},
        {QKeySequence::MoveToPreviousWord, QKeySequence::SelectPreviousWord},
        {QKeySequence::MoveToNextLine, QKeySequence::SelectNextLine},
        {QKeySequence::MoveToPreviousLine, QKeySequence::SelectPreviousLine},
        {QKeySequence::MoveToNextPage, QKeySequence::SelectNextPage},
        {QKeySequence::MoveToPreviousPage, QKeySequence::SelectPreviousPage},
        {QKeySequence::MoveToStartOfLine, QKeySequence::SelectStartOfLine},
        {QKeySequence::MoveToEndOfLine, QKeySequence::SelectEndOfLine},
        {QKeySequence::MoveToStartOfBlock, QKeySequence::SelectStartOfBlock},
        {QKeySequence::MoveToEndOfBlock, QKeySequence::SelectEndOfBlock},
        {QKeySequence::MoveToStartOfDocument, QKeySequence::SelectStartOfDocument},
        {QKeySequence::MoveToEndOfDocument, QKeySequence::SelectEndOfDocument},
    };
    for (const Move& move : kMoves) {
        const bool selecting = event->matches(move.select);
        if (!selecting && !event->matches(move.move)) continue;
        const bool vertical = move.move == QKeySequence::MoveToNextLine ||
                              move.move == QKeySequence::MoveToPreviousLine ||
                              move.move == QKeySequence::MoveToNextPage ||
                              move.move == QKeySequence::MoveToPreviousPage;
        const std::int64_t column = desired_x_;
        model_.EndTyping();
        MoveCaret(target(move.move), selecting);
        desired_x_ = vertical ? (column >= 0 ? column : desired_x_) : -1;
        if (selecting) transfer_.PublishSelection();
        return true;
    }
    return false;
}

bool ResultsBox::HandleEditKey(const QKeyEvent* event) {
    const auto erase_to = [this](std::size_t offset) {
        if (!HasSelection()) anchor_ = offset;
        ReplaceSelection({});
    };
    if (event->matches(QKeySequence::SelectAll)) {
        SelectAll();
    } else if (event->matches(QKeySequence::Copy)) {
        Copy();
    } else if (event->matches(QKeySequence::Cut)) {
        Cut();
    } else if (event->matches(QKeySequence::Paste)) {
        Paste();
    } else if (event->matches(QKeySequence::Delete)) {
        erase_to(NextCaret(Text(), caret_));
    } else if (event->key() == Qt::Key_Backspace && !(event->modifiers() & ~Qt::ShiftModifier)) {
        erase_to(PreviousCaret(Text(), caret_));
    } else if (event->matches(QKeySequence::DeleteEndOfWord)) {
        erase_to(NextWordStart(Text(), caret_));
    } else if (event->matches(QKeySequence::DeleteStartOfWord)) {
        erase_to(PreviousWordStart(Text(), caret_));
    } else if (event->matches(QKeySequence::InsertParagraphSeparator) ||
               event->matches(QKeySequence::InsertLineSeparator)) {
        ReplaceSelection("\r\n");
    } else if (event->matches(QKeySequence::Undo)) {
        Undo();
    } else if (IsRedoKey(event)) {
        Redo();
    } else {
        return false;
    }
    return true;
}

void ResultsBox::keyPressEvent(QKeyEvent* event) {
    if (HandleMoveKey(event) || HandleEditKey(event)) {
        event->accept();
        return;
    }
    const QString text = event->text();
    const bool control = event->modifiers() & (Qt::ControlModifier | Qt::AltModifier);
    if (!text.isEmpty() && !control && (text.front().isPrint() || text.front().isHighSurrogate())) {
        InsertText(text, EditKind::kTyping);
        event->accept();
        return;
    }
    event->ignore();
}

void ResultsBox::inputMethodEvent(QInputMethodEvent* event) {
    if (!event->commitString().isEmpty()) InsertText(event->commitString(), EditKind::kTyping);
    event->accept();
}

QVariant ResultsBox::inputMethodQuery(Qt::InputMethodQuery query) const {
    auto* self = const_cast<ResultsBox*>(this);
    switch (query) {
        case Qt::ImEnabled:
            return true;
        case Qt::ImHints:
            return static_cast<int>(Qt::ImhMultiLine);
        case Qt::ImCursorRectangle:
            return self->CaretRect(caret_);
        case Qt::ImFont:
            return font();
        case Qt::ImCursorPosition:
        case Qt::ImAnchorPosition: {
            const std::size_t offset = query == Qt::ImCursorPosition ? caret_ : anchor_;
            const std::size_t line_start = self->Text().LineStart(self->Text().LineOf(caret_));
            return static_cast<int>(std::clamp(offset, line_start, caret_) - line_start);
        }
        case Qt::ImSurroundingText: {
            const std::size_t line = self->Text().LineOf(caret_);
            const std::size_t start = self->Text().LineStart(line);
            return DecodeResults(Text().Copy(start, self->Text().LineEnd(line)));
        }
        default:
            return QAbstractScrollArea::inputMethodQuery(query);
    }
}

}  // namespace bukvotok
