// The results box under the mouse and with other programs: clicks and selection, the wheel,
// the context menu, the clipboard, the X11 selection, and drag and drop.
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDrag>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPointer>
#include <QWheelEvent>
#include <algorithm>

#include "ResultsBox.h"
#include "ResultsCodec.h"
#include "ResultsMimeData.h"
#include "ShowError.h"

namespace bukvotok {

namespace {

// The texts of Qt's own text boxes, so that the menu speaks the language the rest of Qt does.
QString MenuText(const char* text, QKeySequence::StandardKey key) {
    QString shown = QCoreApplication::translate("QWidgetTextControl", text);
    const QKeySequence sequence(key);
    if (!sequence.isEmpty()) shown += u'\t' + sequence.toString(QKeySequence::NativeText);
    return shown;
}

}  // namespace

// What is selected now, taken as it stands: the text may change before it is pasted.
QMimeData* ResultsBox::SelectionMimeData() const {
    std::string bytes = Text().Copy(SelectionStart(), SelectionEnd());
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
        return shown->Text().Copy(from, shown->SelectionEnd());
    };
    clipboard->setMimeData(new ResultsMimeData(selected), QClipboard::Selection);
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
        const std::size_t line = Text().LineOf(offset);
        std::size_t from = Text().LineStart(line);
        while (from > 0 && Text()[from - 1] != '\n')
            from = Text().LineStart(Text().LineOf(from - 1));
        std::size_t last = line;
        while (last + 1 < Text().LineCount() && !Text().EndsParagraph(last)) ++last;
        anchor_ = from;
        MoveCaret(Text().LineEnd(last), true);
        PublishSelection();
        return;
    }
    press_point_ = event->position().toPoint();
    desired_x_ = -1;
    model_.EndTyping();
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
    const long long top = std::max(0LL, static_cast<long long>(TopLine()) - lines);
    ScrollToLine(static_cast<std::size_t>(top));
    event->accept();
}

void ResultsBox::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    const bool selected = HasSelection();
    const QMimeData* clip = QApplication::clipboard()->mimeData();
    menu.addAction(MenuText("&Undo", QKeySequence::Undo), this, &ResultsBox::Undo)
        ->setEnabled(CanUndo());
    menu.addAction(MenuText("&Redo", QKeySequence::Redo), this, &ResultsBox::Redo)
        ->setEnabled(CanRedo());
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
        ->setEnabled(Text().Size() > 0);
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

// One step that holds no bytes, however far apart the two places lie: the selection's blocks
// move to where it was dropped, and undo moves them back.
void ResultsBox::MoveSelectionTo(std::size_t at) {
    const std::size_t from = SelectionStart();
    const std::size_t to = SelectionEnd();
    if (at >= from && at <= to) return;
    RunCommand([&] {
        Edit([&] { return model_.Move(from, to, at); });
        const std::size_t lands = at < from ? at : at - (to - from);
        anchor_ = lands;
        MoveCaret(lands + (to - from), true);
    });
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
    if (moving_own) {
        MoveSelectionTo(at);
    } else {
        const std::string bytes = EncodeInserted(event->mimeData()->text());
        RunCommand([&] {
            Replace(at, at, bytes);
            anchor_ = at;
            MoveCaret(at + bytes.size(), true);
        });
    }
    event->acceptProposedAction();
}

}  // namespace bukvotok
