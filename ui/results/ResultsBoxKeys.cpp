// The results box's keys and input methods: caret moves, typing and the editing keys.  Every
// change of the text goes through ResultsBox::Replace.
#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <algorithm>

#include "Cp1251.h"
#include "ResultsBox.h"
#include "ResultsCodec.h"
#include "ShowError.h"

namespace bukvotok {

namespace {

bool IsWordByte(char byte) {
    const QChar c(Cp1251ToUnicode(static_cast<unsigned char>(byte)));
    return c.isLetterOrNumber() || c == u'_';
}

bool IsBlankByte(char byte) { return byte == ' ' || byte == '\t'; }

}  // namespace

// Ctrl+Y as well as the desktop's own redo key, as the platform's text boxes take both.
bool ResultsBox::IsRedoKey(const QKeyEvent* event) {
    return event->matches(QKeySequence::Redo) ||
           event->keyCombination() == QKeyCombination(Qt::ControlModifier, Qt::Key_Y);
}

std::size_t ResultsBox::NextCaret(std::size_t offset) const {
    const WrappedText& bytes = Text();
    if (offset >= bytes.size()) return bytes.size();
    return bytes[offset] == '\r' ? offset + 2 : offset + 1;
}

std::size_t ResultsBox::PreviousCaret(std::size_t offset) const {
    if (offset == 0) return 0;
    return Text()[offset - 1] == '\n' ? offset - 2 : offset - 1;
}

// As Ctrl+Right in a text box: past the rest of the word or run of other signs, then the blanks.
std::size_t ResultsBox::NextWordStart(std::size_t offset) const {
    const WrappedText& bytes = Text();
    const std::size_t size = bytes.size();
    if (offset < size && bytes[offset] == '\r') return offset + 2;
    if (offset < size && !IsBlankByte(bytes[offset])) {
        const bool word = IsWordByte(bytes[offset]);
        while (offset < size && !IsBlankByte(bytes[offset]) && bytes[offset] != '\r' &&
               IsWordByte(bytes[offset]) == word) {
            ++offset;
        }
    }
    while (offset < size && IsBlankByte(bytes[offset])) ++offset;
    return offset;
}

std::size_t ResultsBox::PreviousWordStart(std::size_t offset) const {
    const WrappedText& bytes = Text();
    while (offset > 0 && IsBlankByte(bytes[offset - 1])) --offset;
    if (offset > 0 && bytes[offset - 1] == '\n') return offset - 2;
    if (offset > 0) {
        const bool word = IsWordByte(bytes[offset - 1]);
        while (offset > 0 && !IsBlankByte(bytes[offset - 1]) && bytes[offset - 1] != '\n' &&
               IsWordByte(bytes[offset - 1]) == word) {
            --offset;
        }
    }
    return offset;
}

std::pair<std::size_t, std::size_t> ResultsBox::WordAround(std::size_t offset) const {
    const WrappedText& bytes = Text();
    std::size_t from = offset;
    std::size_t to = offset;
    if (to < bytes.size() && IsWordByte(bytes[to])) {
        while (from > 0 && IsWordByte(bytes[from - 1])) --from;
        while (to < bytes.size() && IsWordByte(bytes[to])) ++to;
    } else if (to < bytes.size() && bytes[to] != '\r') {
        ++to;
    }
    return {from, to};
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

void ResultsBox::ReplaceSelection(std::string_view bytes, EditKind kind) {
    RunCommand([&] {
        const std::size_t from = SelectionStart();
        Replace(from, SelectionEnd(), bytes, kind);
        desired_x_ = -1;
        MoveCaret(from + bytes.size(), false);
    });
}

void ResultsBox::InsertText(const QString& text, EditKind kind) {
    ReplaceSelection(EncodeInserted(text), kind);
}

void ResultsBox::SelectAll() {
    anchor_ = 0;
    caret_ = Text().Size();
    PublishSelection();
    viewport()->update();
}

bool ResultsBox::HandleMoveKey(const QKeyEvent* event) {
    struct Move {
        QKeySequence::StandardKey move;
        QKeySequence::StandardKey select;
    };
    const std::size_t line = Text().LineOf(caret_);
    const long long page = VisibleLines();
    const auto target = [&](QKeySequence::StandardKey key) -> std::size_t {
        switch (key) {
            case QKeySequence::MoveToNextChar:
                return HasSelection() && !(event->modifiers() & Qt::ShiftModifier)
                           ? SelectionEnd()
                           : NextCaret(caret_);
            case QKeySequence::MoveToPreviousChar:
                return HasSelection() && !(event->modifiers() & Qt::ShiftModifier)
                           ? SelectionStart()
                           : PreviousCaret(caret_);
            case QKeySequence::MoveToNextWord:
                return NextWordStart(caret_);
            case QKeySequence::MoveToPreviousWord:
                return PreviousWordStart(caret_);
            case QKeySequence::MoveToNextLine:
                return VerticalTarget(caret_, 1);
            case QKeySequence::MoveToPreviousLine:
                return VerticalTarget(caret_, -1);
            case QKeySequence::MoveToNextPage:
                return VerticalTarget(caret_, page);
            case QKeySequence::MoveToPreviousPage:
                return VerticalTarget(caret_, -page);
            case QKeySequence::MoveToStartOfLine:
            case QKeySequence::MoveToStartOfBlock:
                return Text().LineStart(line);
            case QKeySequence::MoveToEndOfLine:
            case QKeySequence::MoveToEndOfBlock: {
                // On a wrapped line, before the blank it wraps at, so the caret stays on it.
                const std::size_t end = Text().LineEnd(line);
                const bool wraps = line + 1 < Text().LineCount() && !Text().EndsParagraph(line);
                return wraps && end > caret_ && IsBlankByte(Text()[end - 1]) ? end - 1 : end;
            }
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
        if (selecting) PublishSelection();
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
        erase_to(NextCaret(caret_));
    } else if (event->key() == Qt::Key_Backspace && !(event->modifiers() & ~Qt::ShiftModifier)) {
        erase_to(PreviousCaret(caret_));
    } else if (event->matches(QKeySequence::DeleteEndOfWord)) {
        erase_to(NextWordStart(caret_));
    } else if (event->matches(QKeySequence::DeleteStartOfWord)) {
        erase_to(PreviousWordStart(caret_));
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
