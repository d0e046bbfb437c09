// The Qt box's keys, input methods and mouse, as the editor's plain events.
#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <algorithm>

#include "ResultsBox.h"
#include "ResultsCodec.h"

namespace bukvotok {

namespace {

EditorKey KeyOf(int key) {
    switch (key) {
        case Qt::Key_Left:
            return EditorKey::kLeft;
        case Qt::Key_Right:
            return EditorKey::kRight;
        case Qt::Key_Up:
            return EditorKey::kUp;
        case Qt::Key_Down:
            return EditorKey::kDown;
        case Qt::Key_Home:
            return EditorKey::kHome;
        case Qt::Key_End:
            return EditorKey::kEnd;
        case Qt::Key_PageUp:
            return EditorKey::kPageUp;
        case Qt::Key_PageDown:
            return EditorKey::kPageDown;
        case Qt::Key_Backspace:
            return EditorKey::kBackspace;
        case Qt::Key_Delete:
            return EditorKey::kDelete;
        case Qt::Key_Insert:
            return EditorKey::kInsert;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return EditorKey::kReturn;
        case Qt::Key_A:
            return EditorKey::kA;
        case Qt::Key_C:
            return EditorKey::kC;
        case Qt::Key_V:
            return EditorKey::kV;
        case Qt::Key_X:
            return EditorKey::kX;
        case Qt::Key_Y:
            return EditorKey::kY;
        case Qt::Key_Z:
            return EditorKey::kZ;
        default:
            return EditorKey::kOther;
    }
}

// The key as the editor takes it; valid while `event` lives.
KeyPress PressOf(const QKeyEvent& event) {
    const Qt::KeyboardModifiers held = event.modifiers();
    unsigned modifiers = 0;
    if (held & Qt::ShiftModifier) modifiers |= kShift;
    if (held & Qt::ControlModifier) modifiers |= kControl;
    if (held & Qt::AltModifier) modifiers |= kAlt;
    const QString& text = event.text();
    return {KeyOf(event.key()), modifiers,
            std::u16string_view(QStringView(text).utf16(), static_cast<std::size_t>(text.size()))};
}

PixelPoint PointOf(const QMouseEvent& event) {
    const QPoint point = event.position().toPoint();
    return {point.x(), point.y()};
}

}  // namespace

bool ResultsBox::event(QEvent* event) {
    // The keys the box edits with are its own, not shortcuts of the window.
    if (event->type() == QEvent::ShortcutOverride &&
        ResultsEditor::OwnsKey(PressOf(*static_cast<QKeyEvent*>(event)))) {
        event->accept();
        return true;
    }
    return QAbstractScrollArea::event(event);
}

void ResultsBox::keyPressEvent(QKeyEvent* event) {
    if (editor_.KeyDown(PressOf(*event))) {
        event->accept();
    } else {
        event->ignore();
    }
}

void ResultsBox::inputMethodEvent(QInputMethodEvent* event) {
    const QString& commit = event->commitString();
    if (!commit.isEmpty()) {
        editor_.Type(std::u16string_view(QStringView(commit).utf16(),
                                         static_cast<std::size_t>(commit.size())));
    }
    event->accept();
}

QVariant ResultsBox::inputMethodQuery(Qt::InputMethodQuery query) const {
    auto* self = const_cast<ResultsBox*>(this);
    QVariant answer;
    self->editor_.Guarded([&] {
        ResultsEditor& editor = self->editor_;
        switch (query) {
            case Qt::ImEnabled:
                answer = true;
                break;
            case Qt::ImHints:
                answer = static_cast<int>(Qt::ImhMultiLine);
                break;
            case Qt::ImCursorRectangle:
                answer = self->CaretRect(CaretOffset());
                break;
            case Qt::ImFont:
                answer = font();
                break;
            case Qt::ImCursorPosition:
            case Qt::ImAnchorPosition: {
                const std::size_t offset =
                    query == Qt::ImCursorPosition ? CaretOffset() : AnchorOffset();
                const std::size_t line_start = editor.LineAt(CaretOffset()).start;
                answer =
                    static_cast<int>(std::clamp(offset, line_start, CaretOffset()) - line_start);
                break;
            }
            case Qt::ImSurroundingText: {
                const ViewLines::Line line = editor.LineAt(CaretOffset());
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

void ResultsBox::MousePress(const QMouseEvent& event, int clicks) {
    const MouseButton button = event.button() == Qt::LeftButton     ? MouseButton::kLeft
                               : event.button() == Qt::MiddleButton ? MouseButton::kMiddle
                                                                    : MouseButton::kOther;
    editor_.MousePress(PointOf(event), button, clicks,
                       event.modifiers() & Qt::ShiftModifier ? kShift : 0u);
}

void ResultsBox::mousePressEvent(QMouseEvent* event) { MousePress(*event, 1); }

void ResultsBox::mouseDoubleClickEvent(QMouseEvent* event) { MousePress(*event, 2); }

void ResultsBox::mouseMoveEvent(QMouseEvent* event) { editor_.MouseMove(PointOf(*event)); }

void ResultsBox::mouseReleaseEvent(QMouseEvent* event) { editor_.MouseRelease(PointOf(*event)); }

void ResultsBox::wheelEvent(QWheelEvent* event) {
    editor_.Wheel(event->angleDelta().y());
    event->accept();
}

}  // namespace bukvotok
