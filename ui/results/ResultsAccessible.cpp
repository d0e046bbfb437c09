#include "ResultsAccessible.h"

#include <QAccessible>
#include <algorithm>

#include "Cp1251.h"
#include "ResultsBox.h"
#include "ResultsCaretMoves.h"

namespace bukvotok {

namespace {

// How far from an offset its item is looked for: a line holds no more, and a word or a
// paragraph that goes on past it is read as far as this.
constexpr std::size_t kAround = LineLayout::kLongestLine;

// Words are runs of letters and digits, blanks runs of blanks; any other character stands
// alone, and so does a line break.
enum class Run { kWord, kBlank, kAlone };
Run RunOf(char byte) {
    if (IsBlankByte(byte)) return Run::kBlank;
    return IsWordByte(byte) ? Run::kWord : Run::kAlone;
}

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

// Qt's bridge reads a text event as the class its type names: a plain event of that type would
// be read past its end.
void ResultsAccessible::TextChanged(ResultsBox& box, std::size_t at,
                                    std::size_t inserted) noexcept {
    if (!QAccessible::isActive()) return;
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&box);
    if (accessible == nullptr) return;
    const QString text = inserted <= kAround
                             ? static_cast<ResultsAccessible*>(accessible)->Text(at, at + inserted)
                             : QString();
    QAccessibleTextUpdateEvent update(&box, static_cast<int>(at), QString(), text);
    QAccessible::updateAccessibility(&update);
}

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

// A range asked for, as large as asked: the caller chose it.
QString ResultsAccessible::text(int start_offset, int end_offset) const {
    const std::size_t size = Box()->ResultsSize();
    const std::size_t from = std::min(size, static_cast<std::size_t>(std::max(0, start_offset)));
    const std::size_t to =
        std::clamp(static_cast<std::size_t>(std::max(0, end_offset)), from, size);
    return Text(from, to);
}

QString ResultsAccessible::Text(std::size_t from, std::size_t to) const noexcept {
    try {
        QString text(static_cast<qsizetype>(to - from), Qt::Uninitialized);
        QChar* out = text.data();
        Box()->Bytes().ForEachPiece(from, to, [&out](std::string_view piece, std::size_t) {
            for (const char byte : piece)
                *out++ = QChar(Cp1251ToUnicode(static_cast<unsigned char>(byte)));
            return true;
        });
        return text;
    } catch (...) {
        // A question from a screen reader that memory cannot answer gets no answer, and no box.
        return QString();
    }
}

std::size_t ResultsAccessible::OffsetOf(int offset) const {
    // -2 stands for the caret, as in Qt's own text boxes.
    if (offset == -2) return Box()->CaretOffset();
    return std::min(static_cast<std::size_t>(std::max(0, offset)), Box()->ResultsSize());
}

ResultsAccessible::Item ResultsAccessible::ItemAt(std::size_t offset,
                                                  QAccessible::TextBoundaryType type) const {
    const BlockBytes& bytes = Box()->Bytes();
    const std::size_t size = bytes.size();
    if (type == QAccessible::LineBoundary) {
        const ViewLines::Line line = Box()->Lines().LineAt(offset);
        return {line.start, line.end};
    }
    if (offset >= size) return {size, size};
    // Between a CR and its LF: the line break they make.
    if (!bytes.IsCaretOffset(offset)) --offset;
    const Item character{offset, NextCaret(bytes, offset)};
    if (type == QAccessible::CharBoundary) return character;
    if (type == QAccessible::WordBoundary) {
        const Run run = RunOf(bytes[offset]);
        if (run == Run::kAlone) return character;
        Item word = character;
        const std::size_t first = offset > kAround ? offset - kAround : 0;
        const std::size_t last = std::min(size, offset + kAround);
        while (word.from > first && RunOf(bytes[word.from - 1]) == run) --word.from;
        while (word.to < last && RunOf(bytes[word.to]) == run) ++word.to;
        return word;
    }
    // A sentence, a paragraph or the whole: the paragraph, with its line break, when it is no
    // longer than a few lines, else the line.
    const std::size_t start = bytes.ParagraphStart(offset);
    const std::size_t end = bytes.ParagraphEnd(offset);
    if (end - start > 2 * kAround) return ItemAt(offset, QAccessible::LineBoundary);
    return {start, end < size ? end + 2 : end};
}

QString ResultsAccessible::Answer(Item item, int* start_offset, int* end_offset) const {
    *start_offset = static_cast<int>(item.from);
    *end_offset = static_cast<int>(item.to);
    return Text(item.from, item.to);
}

QString ResultsAccessible::textAtOffset(int offset, QAccessible::TextBoundaryType type,
                                        int* start_offset, int* end_offset) const {
    return Answer(ItemAt(OffsetOf(offset), type), start_offset, end_offset);
}

QString ResultsAccessible::textBeforeOffset(int offset, QAccessible::TextBoundaryType type,
                                            int* start_offset, int* end_offset) const {
    Item item = ItemAt(OffsetOf(offset), type);
    item = item.from == 0 ? Item{} : ItemAt(item.from - 1, type);
    return Answer(item, start_offset, end_offset);
}

QString ResultsAccessible::textAfterOffset(int offset, QAccessible::TextBoundaryType type,
                                           int* start_offset, int* end_offset) const {
    const Item at = ItemAt(OffsetOf(offset), type);
    const std::size_t size = Box()->ResultsSize();
    const Item item = at.to >= size ? Item{size, size} : ItemAt(at.to, type);
    return Answer(item, start_offset, end_offset);
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
