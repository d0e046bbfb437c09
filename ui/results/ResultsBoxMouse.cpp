// The results box under the mouse: clicks, double and triple clicks and dragging out a
// selection, the wheel.  A middle click and a drag of the selection are ResultsTransfer's.
#include <QApplication>
#include <QMouseEvent>
#include <QWheelEvent>
#include <algorithm>

#include "ResultsBox.h"
#include "ResultsCaretMoves.h"

namespace bukvotok {

void ResultsBox::mousePressEvent(QMouseEvent* event) {
    const std::size_t offset = OffsetAt(event->position().toPoint());
    if (event->button() == Qt::MiddleButton) {
        transfer_.PasteSelection(offset);
        return;
    }
    if (event->button() != Qt::LeftButton) return;
    if (triple_click_.isActive()) {
        // A third click selects the paragraph, up to its line break.
        anchor_ = Text().ParagraphStart(offset);
        MoveCaret(Text().ParagraphEnd(offset), true);
        transfer_.PublishSelection();
        return;
    }
    press_point_ = event->position().toPoint();
    desired_x_ = -1;
    model_.EndTyping();
    if (!(event->modifiers() & Qt::ShiftModifier) && HasSelection() && offset >= SelectionStart() &&
        offset < SelectionEnd()) {
        drag_pending_ = true;
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
        transfer_.DragSelection();
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
        transfer_.PublishSelection();
    }
}

void ResultsBox::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const auto [from, to] = WordAround(Text(), OffsetAt(event->position().toPoint()));
    anchor_ = from;
    MoveCaret(to, true);
    transfer_.PublishSelection();
    triple_click_.start(QApplication::doubleClickInterval(), this);
}

void ResultsBox::wheelEvent(QWheelEvent* event) {
    wheel_remainder_ += event->angleDelta().y();
    const int steps = wheel_remainder_ / 120;
    wheel_remainder_ -= steps * 120;
    const long long lines = static_cast<long long>(steps) * QApplication::wheelScrollLines();
    const long long top = std::max(0LL, static_cast<long long>(TopLine()) - lines);
    ScrollToLine(static_cast<std::size_t>(top));
    event->accept();
}

}  // namespace bukvotok
