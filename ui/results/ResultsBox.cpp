#include "ResultsBox.h"

#include <unistd.h>

#include <QAccessible>
#include <QApplication>
#include <QContextMenuEvent>
#include <QStyleHints>
#include <algorithm>
#include <cmath>
#include <functional>

#include "Cp1251.h"
#include "ResultsAccessible.h"
#include "ResultsCodec.h"
#include "ResultsContextMenu.h"
#include "ShowError.h"

namespace bukvotok {

namespace {

// One screen refresh at 60 Hz: the words appended in between are shown together.
constexpr int kRefreshIntervalMs = 16;
constexpr float kTabStop = 80;
constexpr std::size_t kMegabyte = 1024 * 1024;

// To the nearest megabyte, and in gigabytes when that is a whole number of them: the limit of
// 2 GiB less one byte is "2 ГБ", as the README gives it.
std::string CapacityText(std::size_t capacity) {
    const std::size_t megabytes = (capacity + kMegabyte / 2) / kMegabyte;
    if (capacity >= kMegabyte && megabytes % 1024 == 0) {
        return std::to_string(megabytes / 1024) + " ГБ";
    }
    if (capacity >= kMegabyte) return std::to_string(megabytes) + " МБ";
    return std::to_string(capacity) + " байт";
}

std::string FullMessage(std::size_t capacity, bool during_search, bool for_history) {
    const std::string full =
        "Поле найденных совпадений заполнено (предел — " + CapacityText(capacity) + ")";
    if (during_search && for_history) {
        return full +
               " вместе с правками, которые можно отменить: поиск остановлен. Всё найденное "
               "осталось в поле, и правки можно отменить (Ctrl+Z); сохраните найденное в файл и "
               "очистите поле, чтобы искать дальше.";
    }
    if (during_search) {
        return full +
               ": поиск остановлен. Всё найденное осталось в поле; сохраните его в файл и "
               "очистите поле, чтобы искать дальше.";
    }
    if (for_history) return full + ": правку нельзя было бы отменить, текст не изменён.";
    return full + ": текст не добавлен.";
}

}  // namespace

ResultsFullError::ResultsFullError(std::size_t capacity, bool during_search, bool for_history)
    : Error(FullMessage(capacity, during_search, for_history)) {}

ResultsOutOfMemoryError::ResultsOutOfMemoryError()
    : Error("Недостаточно памяти: поле найденных совпадений осталось как было.") {}

ResultsBox::ResultsBox(QWidget* parent) : QAbstractScrollArea(parent) {
    model_.SetCapacity(DefaultCapacity());
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    refresh_timer_.setSingleShot(true);
    refresh_timer_.setInterval(kRefreshIntervalMs);
    connect(&refresh_timer_, &QTimer::timeout, this, &ResultsBox::Refresh);
    connect(&release_timer_, &QTimer::timeout, this, [this] {
        if (!model_.ReleaseSome()) release_timer_.stop();
    });
    background_lines_timer_.setInterval(kRefreshIntervalMs);
    connect(&background_lines_timer_, &QTimer::timeout, this, &ResultsBox::TakeBackgroundLines);
    ResultsAccessible::Install();
    UpdateMetrics();
}

ResultsBox::~ResultsBox() = default;

std::size_t ResultsBox::DefaultCapacity() {
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long page_size = ::sysconf(_SC_PAGE_SIZE);
    std::size_t eighth = WrappedText::kMaxSize;
    if (pages > 0 && page_size > 0) {
        eighth = static_cast<std::size_t>(pages) / 8 * static_cast<std::size_t>(page_size);
    }
    return std::min(eighth, WrappedText::kMaxSize);
}

void ResultsBox::SetCapacity(std::size_t bytes) { model_.SetCapacity(bytes); }

std::size_t ResultsBox::RoomFor(std::size_t from, std::size_t to) const {
    const std::size_t kept = Text().Size() - (to - from);
    return Capacity() > kept ? Capacity() - kept : 0;
}

void ResultsBox::SetResultsText(std::string_view bytes) {
    std::string text = WithCrLfBreaks(bytes);
    if (text.size() > Capacity()) throw ResultsFullError(Capacity(), false, false);
    model_.Assign(text);
    release_timer_.start(0);
    StartOver(Text().Size());
    TextChanged();
}

void ResultsBox::StartOver(std::size_t caret) {
    ended_in_lone_cr_ = false;
    // A drag over the box may point past the new text.
    transfer_.ForgetDropOffset();
    drag_pending_ = selecting_ = false;
    caret_ = anchor_ = caret;
    desired_x_ = -1;
    SetTopLine(0);
    follow_end_ = true;
    Refresh();
}

void ResultsBox::AppendResultsText(std::string_view bytes) {
    // A CR LF split between two appends is still one line break.
    if (ended_in_lone_cr_ && !bytes.empty() && bytes.front() == '\n') bytes.remove_prefix(1);
    ended_in_lone_cr_ = false;
    if (bytes.empty()) return;
    if (bytes.find_first_of("\r\n") == std::string_view::npos) {
        AppendAtEnd(bytes, {});
        return;
    }
    AppendAtEnd(WithCrLfBreaks(bytes), {});
    ended_in_lone_cr_ = bytes.back() == '\r';
}

void ResultsBox::AppendWord(std::string_view word) {
    AppendAtEnd(" ", word);
    ended_in_lone_cr_ = false;
}

void ResultsBox::AppendAtEnd(std::string_view first, std::string_view second) {
    const bool at_end = caret_ == anchor_ && caret_ == Text().Size();
    if (!model_.Append(first, second)) {
        throw ResultsFullError(Capacity(), true, model_.RefusedForHistory());
    }
    if (at_end) caret_ = anchor_ = Text().Size();
    // The steps the words pushed out are freed a part at a time.
    if (model_.HasReleased() && !release_timer_.isActive()) release_timer_.start(0);
    ScheduleRefresh();
}

// As a step that holds the text itself, so that it can be undone, until the room is needed.
void ResultsBox::Clear() {
    RunCommand([this] {
        Edit([this] { return model_.Clear(); });
        StartOver(0);
    });
}

void ResultsBox::BeginSearch() { model_.BeginSearch(); }

void ResultsBox::EndSearch() { model_.EndSearch(); }

void ResultsBox::Edit(const std::function<bool()>& edit) {
    if (!OrOutOfMemory(edit)) throw ResultsFullError(Capacity(), false, model_.RefusedForHistory());
    ended_in_lone_cr_ = false;
    TextChanged();
}

void ResultsBox::Replace(std::size_t from, std::size_t to, std::string_view bytes, EditKind kind) {
    Edit([&] { return model_.Replace(from, to, bytes, kind); });
}

void ResultsBox::ReplaceSelection(std::string_view bytes, EditKind kind) {
    RunCommand([&] {
        const std::size_t from = SelectionStart();
        Replace(from, SelectionEnd(), bytes, kind);
        Landed(from, bytes.size(), false);
    });
}

void ResultsBox::InsertText(const QString& text, EditKind kind) {
    ReplaceSelection(EncodeInserted(text), kind);
}

void ResultsBox::PutBytes(std::size_t from, std::size_t to, const BlockBytes& bytes, bool select) {
    Edit([&] { return model_.ReplaceShared(from, to, bytes); });
    Landed(from, bytes.size(), select);
}

void ResultsBox::Landed(std::size_t at, std::size_t size, bool select) {
    desired_x_ = -1;
    anchor_ = select ? at : at + size;
    MoveCaret(at + size, true);
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
        Landed(lands, to - from, true);
    });
}

void ResultsBox::TextChanged() {
    if (model_.HasReleased() && !release_timer_.isActive()) release_timer_.start(0);
    if (QAccessible::isActive()) {
        QAccessibleEvent update(this, QAccessible::TextUpdated);
        QAccessible::updateAccessibility(&update);
    }
}

// With nothing to undo or redo, nothing happens: no room is ever needed for either.
void ResultsBox::Undo() {
    RunCommand([this] { PutBack(OrOutOfMemory([this] { return model_.Undo(); })); });
}

void ResultsBox::Redo() {
    RunCommand([this] { PutBack(OrOutOfMemory([this] { return model_.Redo(); })); });
}

// The bytes an undo or redo put back are selected, as in the platform's text boxes.
void ResultsBox::PutBack(std::optional<TextModel::Span> span) {
    if (!span) return;
    ended_in_lone_cr_ = false;
    TextChanged();
    anchor_ = span->from;
    caret_ = span->to;
    desired_x_ = -1;
    EnsureVisible(caret_);
    RestartCaretBlink();
    viewport()->update();
}

void ResultsBox::SetSelection(std::size_t anchor, std::size_t caret) {
    const auto valid = [this](std::size_t offset) {
        offset = std::min(offset, Text().Size());
        return Text().IsCaretOffset(offset) ? offset : offset - 1;
    };
    anchor_ = valid(anchor);
    caret_ = valid(caret);
    desired_x_ = -1;
    model_.EndTyping();
    EnsureVisible(caret_);
    RestartCaretBlink();
    viewport()->update();
}

void ResultsBox::SelectAll() {
    anchor_ = 0;
    caret_ = Text().Size();
    transfer_.PublishSelection();
    viewport()->update();
}

std::vector<std::string_view> ResultsBox::ResultsPieces() const {
    std::vector<std::string_view> pieces;
    Text().ForEachPiece(0, Text().Size(), [&pieces](std::string_view piece, std::size_t) {
        pieces.push_back(piece);
        return true;
    });
    return pieces;
}

QString ResultsBox::SelectedText() const {
    return DecodeResults(Text().Copy(SelectionStart(), SelectionEnd()));
}

bool ResultsBox::event(QEvent* event) {
    WaitForLinesBefore(event);
    // The keys the box edits with are its own, not shortcuts of the window.
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Copy) || key->matches(QKeySequence::Cut) ||
            key->matches(QKeySequence::Paste) || key->matches(QKeySequence::SelectAll) ||
            key->matches(QKeySequence::Delete) || key->matches(QKeySequence::Undo) ||
            IsRedoKey(key) ||
            (!key->text().isEmpty() && key->text().front().isPrint() &&
             !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))) {
            event->accept();
            return true;
        }
    }
    return QAbstractScrollArea::event(event);
}

void ResultsBox::contextMenuEvent(QContextMenuEvent* event) {
    ExecResultsContextMenu(*this, event->globalPos());
}

void ResultsBox::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateMetrics();
}

void ResultsBox::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) UpdateMetrics();
}

void ResultsBox::UpdateMetrics() {
    const QFontMetricsF font_metrics(font());
    TextMetrics metrics;
    for (std::size_t byte = 0; byte < 256; ++byte) {
        if (byte == '\r' || byte == '\n') continue;
        const auto unit = Cp1251ToUnicode(static_cast<unsigned char>(byte));
        metrics.advance[byte] = static_cast<float>(font_metrics.horizontalAdvance(QChar(unit)));
    }
    metrics.tab_stop = kTabStop;
    metrics.width = std::max(1.0f, static_cast<float>(viewport()->width() - 2 * kMargin));
    line_height_ = static_cast<float>(std::ceil(font_metrics.lineSpacing()));
    ascent_ = static_cast<float>(font_metrics.ascent());
    const TextMetrics& old = Text().Metrics();
    if (old.width == metrics.width && old.advance == metrics.advance) return;
    // The same text shows from the same place after it is laid out again: the end, while the
    // view follows it, or the top line's start.  The lines around it are laid out at once.
    constexpr std::size_t kScreensBeforeTheEnd = 64 << 10;
    const bool following = follow_end_ && !HasSelection();
    const std::size_t size = Text().Size();
    const std::size_t anchor =
        following ? size - std::min(size, kScreensBeforeTheEnd) : Text().LineStart(TopLine());
    Text().SetMetricsSoon(metrics, anchor);
    SetTopLine(Text().LineOf(anchor));
    if (Text().LayingOut()) background_lines_timer_.start();
    Refresh();
}

void ResultsBox::TakeBackgroundLines() {
    if (!Text().LayingOut()) {
        background_lines_timer_.stop();
    } else if (Text().Poll()) {
        background_lines_timer_.stop();
        Refresh();
    }
}

// Keys, clicks, the wheel and drops move by lines and count them: they wait for the lines
// still laid out in the background (at 2 GiB about two seconds after a change of width).
void ResultsBox::WaitForLinesBefore(const QEvent* event) {
    if (!Text().LayingOut()) return;
    switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::InputMethod:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
            Text().WaitForLines();
            background_lines_timer_.stop();
            break;
        default:
            break;
    }
}

bool ResultsBox::viewportEvent(QEvent* event) {
    WaitForLinesBefore(event);
    return QAbstractScrollArea::viewportEvent(event);
}

// The first line on screen, found again by its offset when the lines have new numbers.
std::size_t ResultsBox::TopLine() {
    if (top_numbering_ != Text().Numbering()) {
        top_line_ = Text().LineOf(top_offset_);
        top_numbering_ = Text().Numbering();
    }
    return top_line_;
}

void ResultsBox::SetTopLine(std::size_t line) {
    top_offset_ = Text().LineStart(line);
    top_line_ = Text().LineOf(top_offset_);
    top_numbering_ = Text().Numbering();
}

void ResultsBox::ScheduleRefresh() {
    if (!refresh_timer_.isActive()) refresh_timer_.start();
}

void ResultsBox::Refresh() {
    refresh_timer_.stop();
    // The view follows the end while it shows the end with nothing selected.
    if (follow_end_ && !HasSelection()) {
        ScrollToLine(Text().LineCount());
    } else {
        ScrollToLine(TopLine());
    }
    viewport()->update();
}

// As far down as the last line at the bottom, no further.
void ResultsBox::ScrollToLine(std::size_t top) {
    const std::size_t count = Text().LineCount();
    const auto visible = static_cast<std::size_t>(VisibleLines());
    SetTopLine(std::min(top, count > visible ? count - visible : 0));
    follow_end_ = top_line_ + visible >= count;
    viewport()->update();
}

void ResultsBox::EnsureVisible(std::size_t offset) {
    const std::size_t line = Text().LineOf(offset);
    const auto visible = static_cast<std::size_t>(VisibleLines());
    const std::size_t top = TopLine();
    if (line < top) {
        ScrollToLine(line);
    } else if (line >= top + visible) {
        ScrollToLine(line - visible + 1);
    } else {
        ScrollToLine(top);  // the text may have shrunk under the view
    }
}

void ResultsBox::RestartCaretBlink() {
    caret_shown_ = true;
    const int flash = QApplication::cursorFlashTime();
    if (hasFocus() && flash > 0) {
        caret_blink_.start(flash / 2, this);
    } else {
        caret_blink_.stop();
    }
}

void ResultsBox::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    RestartCaretBlink();
    viewport()->update();
}

void ResultsBox::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    caret_blink_.stop();
    viewport()->update();
}

void ResultsBox::timerEvent(QTimerEvent* event) {
    if (event->timerId() == caret_blink_.timerId()) {
        caret_shown_ = !caret_shown_;
        viewport()->update(CaretRect(caret_));
    } else if (event->timerId() == autoscroll_.timerId()) {
        const QPoint point = viewport()->mapFromGlobal(QCursor::pos());
        const std::size_t top = TopLine();
        if (point.y() < 0 && top > 0) {
            ScrollToLine(top - 1);
        } else if (point.y() > viewport()->height()) {
            ScrollToLine(top + 1);
        }
        MoveCaret(OffsetAt(point), true);
    } else if (event->timerId() == triple_click_.timerId()) {
        triple_click_.stop();
    } else {
        QAbstractScrollArea::timerEvent(event);
    }
}

}  // namespace bukvotok
