// The results box's keys, input methods and mouse: each turned into a move of the caret
// (ResultsCaret), an edit (through ResultsBox's commands) or a scroll of the view
// (ResultsViewport).  A middle click and a drag of the selection are ResultsTransfer's.
#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <algorithm>

#include "ResultsBox.h"
#include "ResultsCaretMoves.h"
#include "ResultsCodec.h"

namespace bukvotok {

// Ctrl+Y as well as the desktop's own redo key, as the platform's text boxes take both.
bool ResultsBox::IsRedoKey(const QKeyEvent& event) {
    return event.matches(QKeySequence::Redo) ||
           event.keyCombination() == QKeyCombination(Qt::ControlModifier, Qt::Key_Y);
}

bool ResultsBox::HandleEditKey(const QKeyEvent& event) {
    const auto erase_to = [this](std::size_t offset) {
        if (!HasSelection()) caret_.Select(offset, CaretOffset());
        ReplaceSelection({});
    };
    const BlockBytes& text = Bytes();
    if (event.matches(QKeySequence::SelectAll)) {
        SelectAll();
    } else if (event.matches(QKeySequence::Copy)) {
        Copy();
    } else if (event.matches(QKeySequence::Cut)) {
        Cut();
    } else if (event.matches(QKeySequence::Paste)) {
        Paste();
    } else if (event.matches(QKeySequence::Delete)) {
        erase_to(NextCaret(text, CaretOffset()));
    } else if (event.key() == Qt::Key_Backspace && !(event.modifiers() & ~Qt::ShiftModifier)) {
        erase_to(PreviousCaret(text, CaretOffset()));
    } else if (event.matches(QKeySequence::DeleteEndOfWord)) {
        erase_to(NextWordStart(text, CaretOffset()));
    } else if (event.matches(QKeySequence::DeleteStartOfWord)) {
        erase_to(PreviousWordStart(text, CaretOffset()));
    } else if (event.matches(QKeySequence::InsertParagraphSeparator) ||
               event.matches(QKeySequence::InsertLineSeparator)) {
        ReplaceSelection("\r\n");
    } else if (event.matches(QKeySequence::Undo)) {
        Undo();
    } else if (IsRedoKey(event)) {
        Redo();
    } else {
        return false;
    }
    return true;
}

void ResultsBox::keyPressEvent(QKeyEvent* event) {
    Guarded([&] {
        if (const auto move = caret_.MoveFor(*event, document_, viewport_)) {
            document_.EndTyping();
            CaretMoved();
            if (move->select) SelectionChanged();
            event->accept();
            return;
        }
        if (HandleEditKey(*event)) {
            event->accept();
            return;
        }
        const QString text = event->text();
        const bool control = event->modifiers() & (Qt::ControlModifier | Qt::AltModifier);
        if (!text.isEmpty() && !control &&
            (text.front().isPrint() || text.front().isHighSurrogate())) {
            InsertText(text, ResultsDocument::EditKind::kTyping);
            event->accept();
            return;
        }
        event->ignore();
    });
}

void ResultsBox::inputMethodEvent(QInputMethodEvent* event) {
    Guarded([&] {
        if (!event->commitString().isEmpty()) {
            InsertText(event->commitString(), ResultsDocument::EditKind::kTyping);
        }
        event->accept();
    });
}

QVariant ResultsBox::inputMethodQuery(Qt::InputMethodQuery query) const {
    auto* self = const_cast<ResultsBox*>(this);
    QVariant answer;
    self->Guarded([&] {
        ViewLines& lines = self->viewport_.Lines();
        switch (query) {
            case Qt::ImEnabled:
                answer = true;
                break;
            case Qt::ImHints:
                answer = static_cast<int>(Qt::ImhMultiLine);
                break;
            case Qt::ImCursorRectangle:
                answer = self->viewport_.CaretRect(CaretOffset());
                break;
            case Qt::ImFont:
                answer = font();
                break;
            case Qt::ImCursorPosition:
            case Qt::ImAnchorPosition: {
                const std::size_t offset =
                    query == Qt::ImCursorPosition ? CaretOffset() : AnchorOffset();
                const std::size_t line_start = lines.LineAt(CaretOffset()).start;
                answer =
                    static_cast<int>(std::clamp(offset, line_start, CaretOffset()) - line_start);
                break;
            }
            case Qt::ImSurroundingText: {
                const ViewLines::Line line = lines.LineAt(CaretOffset());
                answer = DecodeResults(Bytes().Copy(line.start, line.TextEnd()));
                break;
            }
            default:
                answer = QAbstractScrollArea::inputMethodQuery(query);
                break;
        }
    });
    return answer;
}

void ResultsBox::mousePressEvent(QMouseEvent* event) {
    Guarded([&] { Press(*event); });
}

void ResultsBox::Press(const QMouseEvent& event) {
    const std::size_t offset = viewport_.OffsetAt(event.position().toPoint());
    if (event.button() == Qt::MiddleButton) {
        transfer_.PasteSelection(offset);
        return;
    }
    if (event.button() != Qt::LeftButton) return;
    if (triple_click_.isActive()) {
        // A third click selects the paragraph, up to its line break.
        caret_.Select(Bytes().ParagraphStart(offset), Bytes().ParagraphEnd(offset));
        CaretMoved();
        SelectionChanged();
        return;
    }
    press_point_ = event.position().toPoint();
    document_.EndTyping();
    const bool shift = event.modifiers() & Qt::ShiftModifier;
    if (!shift && HasSelection() && offset >= SelectionStart() && offset < SelectionEnd()) {
        drag_pending_ = true;
        return;
    }
    selecting_ = true;
    caret_.MoveTo(offset, shift);
    CaretMoved();
}

void ResultsBox::mouseMoveEvent(QMouseEvent* event) {
    Guarded([&] { MouseMove(event->position().toPoint()); });
}

void ResultsBox::MouseMove(QPoint point) {
    if (drag_pending_) {
        if ((point - press_point_).manhattanLength() < QApplication::startDragDistance()) return;
        drag_pending_ = false;
        transfer_.DragSelection();
        return;
    }
    if (!selecting_) return;
    caret_.MoveTo(viewport_.OffsetAt(point), true);
    CaretMoved();
    if (point.y() < 0 || point.y() > viewport()->height()) {
        if (!autoscroll_.isActive()) autoscroll_.start(50, this);
    } else {
        autoscroll_.stop();
    }
}

void ResultsBox::Autoscroll() {
    const QPoint point = viewport()->mapFromGlobal(QCursor::pos());
    if (point.y() < 0) {
        viewport_.ScrollBy(-1);
    } else if (point.y() > viewport()->height()) {
        viewport_.ScrollBy(1);
    }
    caret_.MoveTo(viewport_.OffsetAt(point), true);
    viewport()->update();
}

void ResultsBox::mouseReleaseEvent(QMouseEvent* event) {
    Guarded([&] {
        autoscroll_.stop();
        if (drag_pending_) {
            drag_pending_ = false;
            caret_.MoveTo(viewport_.OffsetAt(event->position().toPoint()), false);
            CaretMoved();
        }
        if (selecting_) {
            selecting_ = false;
            SelectionChanged();
        }
    });
}

void ResultsBox::mouseDoubleClickEvent(QMouseEvent* event) {
    Guarded([&] {
        if (event->button() != Qt::LeftButton) return;
        const auto [from, to] =
            WordAround(Bytes(), viewport_.OffsetAt(event->position().toPoint()));
        caret_.Select(from, to);
        CaretMoved();
        SelectionChanged();
        triple_click_.start(QApplication::doubleClickInterval(), this);
    });
}

void ResultsBox::wheelEvent(QWheelEvent* event) {
    Guarded([&] {
        wheel_remainder_ += event->angleDelta().y();
        const int steps = wheel_remainder_ / 120;
        wheel_remainder_ -= steps * 120;
        viewport_.ScrollBy(-static_cast<long long>(steps) * QApplication::wheelScrollLines());
        viewport()->update();
        event->accept();
    });
}

}  // namespace bukvotok
