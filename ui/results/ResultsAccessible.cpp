#include "ResultsAccessible.h"

#include <QAccessible>
#include <algorithm>

#include "Cp1251.h"
#include "ResultsBox.h"

namespace bukvotok {

namespace {

QAccessibleInterface* CreateFor(const QString& class_name, QObject* object) {
    if (class_name == QLatin1String(ResultsBox::staticMetaObject.className())) {
        return new ResultsAccessible(static_cast<ResultsBox*>(object));
    }
    return nullptr;
}

}  // namespace

ResultsAccessible::ResultsAccessible(ResultsBox* box)
    : QAccessibleWidget(box, QAccessible::EditableText) {}

void ResultsAccessible::Install() {
    static const bool installed = (QAccessible::installFactory(CreateFor), true);
    static_cast<void>(installed);
}

ResultsBox* ResultsAccessible::Box() const { return static_cast<ResultsBox*>(widget()); }

QAccessible::State ResultsAccessible::state() const {
    QAccessible::State state = QAccessibleWidget::state();
    state.editable = true;
    state.multiLine = true;
    state.selectableText = true;
    return state;
}

void* ResultsAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

void ResultsAccessible::selection(int selection_index, int* start_offset, int* end_offset) const {
    *start_offset = *end_offset = 0;
    if (selection_index != 0 || Box()->CaretOffset() == Box()->AnchorOffset()) return;
    *start_offset = static_cast<int>(std::min(Box()->CaretOffset(), Box()->AnchorOffset()));
    *end_offset = static_cast<int>(std::max(Box()->CaretOffset(), Box()->AnchorOffset()));
}

int ResultsAccessible::selectionCount() const {
    return Box()->CaretOffset() == Box()->AnchorOffset() ? 0 : 1;
}

void ResultsAccessible::addSelection(int start_offset, int end_offset) {
    setSelection(0, start_offset, end_offset);
}

void ResultsAccessible::removeSelection(int selection_index) {
    if (selection_index == 0) Box()->SetSelection(Box()->CaretOffset(), Box()->CaretOffset());
}

void ResultsAccessible::setSelection(int selection_index, int start_offset, int end_offset) {
    if (selection_index != 0) return;
    Box()->SetSelection(static_cast<std::size_t>(std::max(0, start_offset)),
                        static_cast<std::size_t>(std::max(0, end_offset)));
}

int ResultsAccessible::cursorPosition() const { return static_cast<int>(Box()->CaretOffset()); }

void ResultsAccessible::setCursorPosition(int position) {
    const auto offset = static_cast<std::size_t>(std::max(0, position));
    Box()->SetSelection(offset, offset);
}

// The whole text as a value would be hundreds of megabytes; the text interface reads it.
QString ResultsAccessible::text(QAccessible::Text type) const {
    if (type == QAccessible::Value) return QString();
    return QAccessibleWidget::text(type);
}

QString ResultsAccessible::text(int start_offset, int end_offset) const {
    const std::size_t size = Box()->ResultsSize();
    const std::size_t from = std::min(size, static_cast<std::size_t>(std::max(0, start_offset)));
    const std::size_t to =
        std::clamp(static_cast<std::size_t>(std::max(0, end_offset)), from, size);
    QString text;
    Box()->Guarded([&] {
        const std::string bytes = Box()->ResultsText(from, to);
        text = QString(static_cast<qsizetype>(to - from), Qt::Uninitialized);
        for (std::size_t i = from; i < to; ++i) {
            text[static_cast<qsizetype>(i - from)] =
                QChar(Cp1251ToUnicode(static_cast<unsigned char>(bytes[i - from])));
        }
    });
    return text;
}

int ResultsAccessible::characterCount() const { return static_cast<int>(Box()->ResultsSize()); }

QRect ResultsAccessible::characterRect(int offset) const {
    const auto at = std::min(static_cast<std::size_t>(std::max(0, offset)), Box()->ResultsSize());
    const QRect caret = Box()->CaretRect(at);
    return QRect(Box()->viewport()->mapToGlobal(caret.topLeft()), caret.size());
}

int ResultsAccessible::offsetAtPoint(const QPoint& point) const {
    return static_cast<int>(Box()->OffsetAt(Box()->viewport()->mapFromGlobal(point)));
}

void ResultsAccessible::scrollToSubstring(int start_index, int end_index) {
    setSelection(0, start_index, end_index);
}

QString ResultsAccessible::attributes(int offset, int* start_offset, int* end_offset) const {
    *start_offset = *end_offset = offset;
    return QString();
}

}  // namespace bukvotok
