// The results box's editing: keys, mouse, clipboard, drag and drop, the context menu and input
// methods.  Every change of the text goes through ResultsBox::Replace.
#include <QApplication>
#include <QClipboard>
#include <QDrag>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPointer>
#include <QStyleHints>
#include <algorithm>

#include "Cp1251.h"
#include "ResultsBox.h"
#include "ResultsCodec.h"
#include "ResultsMimeData.h"
#include "ShowError.h"

namespace bukvotok {

namespace {

bool IsWordByte(char byte) {
    const QChar c(Cp1251ToUnicode(static_cast<unsigned char>(byte)));
    return c.isLetterOrNumber() || c == u'_';
}

bool IsBlankByte(char byte) { return byte == ' ' || byte == '\t'; }

// The texts of Qt's own text boxes, so that the menu speaks the language the rest of Qt does.
QString MenuText(const char* text, QKeySequence::StandardKey key) {
    QString shown = QCoreApplication::translate("QWidgetTextControl", text);
    const QKeySequence sequence(key);
    if (!sequence.isEmpty()) shown += u'\t' + sequence.toString(QKeySequence::NativeText);
    return shown;
}

}  // namespace

std::size_t ResultsBox::NextCaret(std::size_t offset) const {
    const std::string_view bytes = text_.Bytes();
    if (offset >= bytes.size()) return bytes.size();
    return bytes[offset] == '\r' ? offset + 2 : offset + 1;
}

std::size_t ResultsBox::PreviousCaret(std::size_t offset) const {
    if (offset == 0) return 0;
    return text_.Bytes()[offset - 1] == '\n' ? offset - 2 : offset - 1;
}

// As Ctrl+Right in a text box: past the rest of the word or run of other signs, then the blanks.
std::size_t ResultsBox::NextWordStart(std::size_t offset) const {
    const std::string_view bytes = text_.Bytes();
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
    const std::string_view bytes = text_.Bytes();
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
    const std::string_view bytes = text_.Bytes();
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
    const std::size_t line = text_.LineOf(offset);
    if (desired_x_ < 0) desired_x_ = text_.XOnLine(line, offset);
    const auto last = static_cast<long long>(text_.LineCount() - 1);
    const long long target = std::clamp(static_cast<long long>(line) + lines, 0LL, last);
    if (target == static_cast<long long>(line)) return lines < 0 ? 0 : text_.Size();
    return text_.OffsetAt(static_cast<std::size_t>(target), desired_x_);
}

void ResultsBox::MoveCaret(std::size_t offset, bool keep_anchor) {
    caret_ = offset;
    if (!keep_anchor) anchor_ = offset;
    EnsureVisible(caret_);
    RestartCaretBlink();
    viewport()->update();
}

void ResultsBox::ReplaceSelection(std::string_view bytes) {
    RunCommand([&] {
        const std::size_t from = SelectionStart();
        Replace(from, SelectionEnd(), bytes);
        desired_x_ = -1;
        MoveCaret(from + bytes.size(), false);
    });
}

void ResultsBox::InsertText(const QString& text) { ReplaceSelection(EncodeInserted(text)); }

void ResultsBox::SelectAll() {
    anchor_ = 0;
    caret_ = text_.Size();
    PublishSelection();
    viewport()->update();
}

// What is selected now, taken as it stands: the text may change before it is pasted.
QMimeData* ResultsBox::SelectionMimeData() const {
    std::string bytes(text_.Bytes().substr(SelectionStart(), SelectionEnd() - SelectionStart()));
    return new ResultsMimeData([bytes = std::move(bytes)] { return bytes; });
}

void ResultsBox::Copy() {
    if (HasSelection()) QApplication::clipboard()->setMimeData(SelectionMimeData());
}

void ResultsBox::Cut() {
    if (!HasSelection()) return;
    Copy();
    ReplaceSelection({});
}

void ResultsBox::Paste() {
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    if (mime && mime->hasText()) InsertText(mime->text());
}

// On X11 what is selected is offered to a middle click elsewhere: whatever is selected when
// the click comes, as X11 has it.
void ResultsBox::PublishSelection() {
    QClipboard* clipboard = QApplication::clipboard();
    if (!HasSelection() || !clipboard->supportsSelection()) return;
    QPointer<const ResultsBox> box(this);
    const auto selected = [box]() -> std::string {
        const ResultsBox* shown = box.data();
        if (shown == nullptr) return {};
        const std::size_t from = shown->SelectionStart();
        return std::string(shown->ResultsView().substr(from, shown->SelectionEnd() - from));
    };
    clipboard->setMimeData(new ResultsMimeData(selected), QClipboard::Selection);
}

bool ResultsBox::HandleMoveKey(const QKeyEvent* event) {
    struct Move {
        QKeySequence::StandardKey move;
        QKeySequence::StandardKey select;
    };
    const std::size_t line = text_.LineOf(caret_);
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
                return text_.LineStart(line);
            case QKeySequence::MoveToEndOfLine:
            case QKeySequence::MoveToEndOfBlock: {
                // On a wrapped line, before the blank it wraps at, so the caret stays on it.
                const std::size_t end = text_.LineEnd(line);
                const bool wraps = line + 1 < text_.LineCount() && !text_.EndsParagraph(line);
                return wraps && end > caret_ && IsBlankByte(text_.Bytes()[end - 1]) ? end - 1 : end;
            }
            case QKeySequence::MoveToStartOfDocument:
                return 0;
            case QKeySequence::MoveToEndOfDocument:
                return text_.Size();
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
        const float column = desired_x_;
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
    } else if (event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo)) {
        // Nothing to undo: the box keeps no history, which at hundreds of megabytes would cost
        // as much again.
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
        InsertText(text);
        event->accept();
        return;
    }
    event->ignore();
}

void ResultsBox::inputMethodEvent(QInputMethodEvent* event) {
    if (!event->commitString().isEmpty()) InsertText(event->commitString());
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
            const std::size_t line_start = self->text_.LineStart(self->text_.LineOf(caret_));
            return static_cast<int>(std::clamp(offset, line_start, caret_) - line_start);
        }
        case Qt::ImSurroundingText: {
            const std::size_t line = self->text_.LineOf(caret_);
            const std::size_t start = self->text_.LineStart(line);
            return DecodeResults(text_.Bytes().substr(start, self->text_.LineEnd(line) - start));
        }
        default:
            return QAbstractScrollArea::inputMethodQuery(query);
    }
}

void ResultsBox::mousePressEvent(QMouseEvent* event) {
    const std::size_t offset = OffsetAt(event->position().toPoint());
    if (event->button() == Qt::MiddleButton) {
        const QClipboard* clipboard = QApplication::clipboard();
        if (clipboard->supportsSelection()) {
            const QString text = clipboard->text(QClipboard::Selection);
            MoveCaret(offset, false);
            if (!text.isEmpty()) InsertText(text);
        }
        return;
    }
    if (event->button() != Qt::LeftButton) return;
    if (triple_click_.isActive()) {
        // A third click selects the whole line, up to its line break.
        const std::size_t line = text_.LineOf(offset);
        std::size_t from = text_.LineStart(line);
        while (from > 0 && text_.Bytes()[from - 1] != '\n')
            from = text_.LineStart(text_.LineOf(from - 1));
        std::size_t last = line;
        while (last + 1 < text_.LineCount() && !text_.EndsParagraph(last)) ++last;
        anchor_ = from;
        MoveCaret(text_.LineEnd(last), true);
        PublishSelection();
        return;
    }
    press_point_ = event->position().toPoint();
    desired_x_ = -1;
    if (!(event->modifiers() & Qt::ShiftModifier) && HasSelection() && offset >= SelectionStart() &&
        offset < SelectionEnd()) {
        drag_pending_ = true;  // a drag of the selection, or a click into it
        return;
    }
    selecting_ = true;
    MoveCaret(offset, event->modifiers() & Qt::ShiftModifier);
}

void ResultsBox::mouseMoveEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    if (drag_pending_) {
        if ((point - press_point_).manhattanLength() < QApplication::startDragDistance()) return;
        drag_pending_ = false;
        const std::size_t from = SelectionStart();
        const std::size_t to = SelectionEnd();
        auto* drag = new QDrag(this);
        drag->setMimeData(SelectionMimeData());
        const Qt::DropAction action = drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::MoveAction);
        // Moved elsewhere: the text goes.  A move within the box was done by its drop.
        if (action == Qt::MoveAction && drag->target() != viewport() && drag->target() != this) {
            anchor_ = from;
            caret_ = to;
            ReplaceSelection({});
        }
        return;
    }
    if (!selecting_) return;
    MoveCaret(OffsetAt(point), true);
    if (point.y() < 0 || point.y() > viewport()->height()) {
        if (!autoscroll_.isActive()) autoscroll_.start(50, this);
    } else {
        autoscroll_.stop();
    }
}

void ResultsBox::mouseReleaseEvent(QMouseEvent* event) {
    autoscroll_.stop();
    if (drag_pending_) {
        drag_pending_ = false;
        MoveCaret(OffsetAt(event->position().toPoint()), false);
    }
    if (selecting_) {
        selecting_ = false;
        PublishSelection();
    }
}

void ResultsBox::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const auto [from, to] = WordAround(OffsetAt(event->position().toPoint()));
    anchor_ = from;
    MoveCaret(to, true);
    PublishSelection();
    triple_click_.start(QApplication::doubleClickInterval(), this);
}

void ResultsBox::wheelEvent(QWheelEvent* event) {
    wheel_remainder_ += event->angleDelta().y();
    const int steps = wheel_remainder_ / 120;
    wheel_remainder_ -= steps * 120;
    const long long lines = static_cast<long long>(steps) * QApplication::wheelScrollLines();
    const long long top = std::max(0LL, static_cast<long long>(top_line_) - lines);
    ScrollToLine(static_cast<std::size_t>(top));
    event->accept();
}

void ResultsBox::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    const bool selected = HasSelection();
    const QMimeData* clip = QApplication::clipboard()->mimeData();
    menu.addAction(MenuText("&Undo", QKeySequence::Undo))->setEnabled(false);
    menu.addAction(MenuText("&Redo", QKeySequence::Redo))->setEnabled(false);
    menu.addSeparator();
    menu.addAction(MenuText("Cu&t", QKeySequence::Cut), this, &ResultsBox::Cut)
        ->setEnabled(selected);
    menu.addAction(MenuText("&Copy", QKeySequence::Copy), this, &ResultsBox::Copy)
        ->setEnabled(selected);
    menu.addAction(MenuText("&Paste", QKeySequence::Paste), this, &ResultsBox::Paste)
        ->setEnabled(clip && clip->hasText());
    menu.addAction(MenuText("Delete", QKeySequence::UnknownKey), this,
                   [this] { ReplaceSelection({}); })
        ->setEnabled(selected);
    menu.addSeparator();
    menu.addAction(MenuText("Select All", QKeySequence::SelectAll), this, &ResultsBox::SelectAll)
        ->setEnabled(text_.Size() > 0);
    menu.exec(event->globalPos());
}

void ResultsBox::dragEnterEvent(QDragEnterEvent* event) {
    if (!event->mimeData()->hasText()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    drop_offset_ = OffsetAt(event->position().toPoint());
    viewport()->update();
}

void ResultsBox::dragMoveEvent(QDragMoveEvent* event) {
    if (!event->mimeData()->hasText()) {
        event->ignore();
        return;
    }
    const std::size_t offset = OffsetAt(event->position().toPoint());
    // Onto its own selection a drag changes nothing.
    if (event->source() == this && offset >= SelectionStart() && offset <= SelectionEnd()) {
        event->ignore();
    } else {
        event->acceptProposedAction();
    }
    drop_offset_ = offset;
    viewport()->update();
}

void ResultsBox::dragLeaveEvent(QDragLeaveEvent*) {
    drop_offset_ = WrappedText::kNoLine;
    viewport()->update();
}

void ResultsBox::dropEvent(QDropEvent* event) {
    drop_offset_ = WrappedText::kNoLine;
    std::size_t at = OffsetAt(event->position().toPoint());
    const bool moving_own = event->source() == this && event->dropAction() == Qt::MoveAction;
    if (moving_own && at >= SelectionStart() && at <= SelectionEnd()) {
        event->ignore();
        viewport()->update();
        return;
    }
    const std::string bytes = EncodeInserted(event->mimeData()->text());
    RunCommand([&] {
        if (moving_own) {
            // The selection goes first, then the text lands where it was dropped, counted in
            // the text without it.
            const std::size_t from = SelectionStart();
            const std::size_t length = SelectionEnd() - from;
            Replace(from, from + length, {});
            if (at > from) at -= length;
        }
        Replace(at, at, bytes);
        anchor_ = at;
        MoveCaret(at + bytes.size(), true);
    });
    event->acceptProposedAction();
}

}  // namespace bukvotok
