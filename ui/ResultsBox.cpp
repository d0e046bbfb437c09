#include "ResultsBox.h"

#include <unistd.h>

#include <QAccessible>
#include <QApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QStyleHints>
#include <algorithm>
#include <cmath>

#include "Cp1251.h"
#include "ResultsAccessible.h"
#include "ResultsCodec.h"

namespace bukvotok {

namespace {

// One screen refresh at 60 Hz: the words appended in between are shown together.
constexpr int kRefreshIntervalMs = 16;
// Between the frame and the text, as in Qt's own text boxes.
constexpr int kMargin = 4;
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

std::string FullMessage(std::size_t capacity, bool during_search) {
    const std::string full =
        "Поле найденных совпадений заполнено (предел — " + CapacityText(capacity) + ")";
    if (during_search) {
        return full +
               ": поиск остановлен. Всё найденное осталось в поле; сохраните его в файл и "
               "очистите поле, чтобы искать дальше.";
    }
    return full + ": текст не добавлен.";
}

}  // namespace

ResultsFullError::ResultsFullError(std::size_t capacity, bool during_search)
    : Error(FullMessage(capacity, during_search)) {}

ResultsBox::ResultsBox(QWidget* parent)
    : QAbstractScrollArea(parent), capacity_(DefaultCapacity()) {
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

void ResultsBox::SetCapacity(std::size_t bytes) {
    capacity_ = std::min(bytes, WrappedText::kMaxSize);
}

void ResultsBox::SetResultsText(std::string_view bytes) {
    std::string text = WithCrLfBreaks(bytes);
    if (text.size() > capacity_) throw ResultsFullError(capacity_, false);
    text_.Assign(std::move(text));
    ended_in_lone_cr_ = false;
    caret_ = anchor_ = text_.Size();
    desired_x_ = -1;
    top_line_ = 0;
    Refresh();
}

void ResultsBox::AppendResultsText(std::string_view bytes) {
    // A CR LF split between two appends is still one line break.
    if (ended_in_lone_cr_ && !bytes.empty() && bytes.front() == '\n') bytes.remove_prefix(1);
    if (bytes.empty()) return;
    if (bytes.find_first_of("\r\n") == std::string_view::npos) {
        AppendAtEnd(bytes, {});
        ended_in_lone_cr_ = false;
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
    if (first.size() + second.size() > capacity_ - std::min(capacity_, text_.Size())) {
        throw ResultsFullError(capacity_, true);
    }
    const bool at_end = caret_ == anchor_ && caret_ == text_.Size();
    text_.Append(first);
    text_.Append(second);
    if (at_end) caret_ = anchor_ = text_.Size();
    ScheduleRefresh();
}

void ResultsBox::Clear() { SetResultsText({}); }

void ResultsBox::Replace(std::size_t from, std::size_t to, std::string_view bytes) {
    if (text_.Size() - (to - from) + bytes.size() > capacity_) {
        throw ResultsFullError(capacity_, false);
    }
    text_.Replace(from, to, bytes);
    ended_in_lone_cr_ = false;
    if (QAccessible::isActive()) {
        QAccessibleEvent update(this, QAccessible::TextUpdated);
        QAccessible::updateAccessibility(&update);
    }
}

void ResultsBox::SetSelection(std::size_t anchor, std::size_t caret) {
    const auto valid = [this](std::size_t offset) {
        offset = std::min(offset, text_.Size());
        return text_.IsCaretOffset(offset) ? offset : offset - 1;
    };
    anchor_ = valid(anchor);
    caret_ = valid(caret);
    desired_x_ = -1;
    EnsureVisible(caret_);
    RestartCaretBlink();
    viewport()->update();
}

QString ResultsBox::SelectedText() const {
    return DecodeResults(text_.Bytes().substr(SelectionStart(), SelectionEnd() - SelectionStart()));
}

int ResultsBox::VisibleLines() const {
    const float height = static_cast<float>(viewport()->height() - 2 * kMargin);
    return std::max(1, static_cast<int>(height / line_height_));
}

QRect ResultsBox::CaretRect(std::size_t offset) {
    const std::size_t line = text_.LineOf(offset);
    const float y =
        kMargin + (static_cast<float>(line) - static_cast<float>(top_line_)) * line_height_;
    const float x = kMargin + text_.XOnLine(line, offset);
    return QRect(static_cast<int>(std::floor(x)), static_cast<int>(y), 1,
                 static_cast<int>(line_height_));
}

std::size_t ResultsBox::OffsetAt(QPoint viewport_point) {
    const float row = std::floor((static_cast<float>(viewport_point.y()) - kMargin) / line_height_);
    const float line = std::clamp(static_cast<float>(top_line_) + row, 0.0f,
                                  static_cast<float>(text_.LineCount() - 1));
    return text_.OffsetAt(static_cast<std::size_t>(line),
                          static_cast<float>(viewport_point.x() - kMargin));
}

bool ResultsBox::event(QEvent* event) {
    // The keys the box edits with are its own, not shortcuts of the window.
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Copy) || key->matches(QKeySequence::Cut) ||
            key->matches(QKeySequence::Paste) || key->matches(QKeySequence::SelectAll) ||
            key->matches(QKeySequence::Delete) ||
            (!key->text().isEmpty() && key->text().front().isPrint() &&
             !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))) {
            event->accept();
            return true;
        }
    }
    return QAbstractScrollArea::event(event);
}

void ResultsBox::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    QFont font = this->font();
    font.setKerning(false);  // the letters stand where their advances put them
    painter.setFont(font);
    const std::size_t count = text_.LineCount();
    const QRect area = event->rect();
    for (std::size_t line = top_line_; line < count; ++line) {
        const float y = kMargin + static_cast<float>(line - top_line_) * line_height_;
        if (y > static_cast<float>(area.bottom())) break;
        PaintLine(painter, line, y);
    }
    const QBrush caret_brush = palette().brush(QPalette::Text);
    if (hasFocus() && caret_shown_ && text_.LineOf(caret_) >= top_line_) {
        painter.fillRect(CaretRect(caret_), caret_brush);
    }
    if (drop_offset_ != WrappedText::kNoLine && text_.LineOf(drop_offset_) >= top_line_) {
        painter.fillRect(CaretRect(drop_offset_), caret_brush);
    }
}

// The line in runs that share a colour and hold no tab, each drawn where the advances put it,
// so that the selection and the caret fall exactly between letters.
void ResultsBox::PaintLine(QPainter& painter, std::size_t line, float y) {
    const std::string_view bytes = text_.Bytes();
    const std::size_t start = text_.LineStart(line);
    const std::size_t end = text_.LineEnd(line);
    const std::size_t selected_from = std::clamp(SelectionStart(), start, end);
    const std::size_t selected_to = std::clamp(SelectionEnd(), start, end);
    const QColor text_colour = palette().color(QPalette::Text);
    const QColor selected_colour = palette().color(QPalette::HighlightedText);
    const QBrush highlight = palette().brush(QPalette::Highlight);
    const float baseline = y + ascent_;

    const auto pixels = [](std::int32_t units) {
        return static_cast<float>(units) / WrappedText::kUnitsPerPixel;
    };
    std::int32_t x = 0;
    std::size_t run = start;
    std::int32_t run_x = 0;
    const auto flush = [&](std::size_t to) {
        if (to <= run) return;
        const bool selected = run >= selected_from && run < selected_to;
        const float left = kMargin + pixels(run_x);
        if (selected) painter.fillRect(QRectF(left, y, pixels(x - run_x), line_height_), highlight);
        painter.setPen(selected ? selected_colour : text_colour);
        painter.drawText(QPointF(left, baseline), DecodeResults(bytes.substr(run, to - run)));
    };
    for (std::size_t i = start; i < end; ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (i == selected_from || i == selected_to || byte == '\t') {
            flush(i);
            run = i;
            run_x = x;
        }
        const std::int32_t advance = text_.Advance(byte, x);
        if (byte == '\t') {
            if (i >= selected_from && i < selected_to) {
                painter.fillRect(QRectF(kMargin + pixels(x), y, pixels(advance), line_height_),
                                 highlight);
            }
            run = i + 1;
            run_x = x + advance;
        }
        x += advance;
    }
    flush(end);
    // A selected line break shows as a space's width of highlight after the line.
    if (text_.EndsParagraph(line) && SelectionStart() <= end && SelectionEnd() > end) {
        painter.fillRect(
            QRectF(kMargin + pixels(x), y, pixels(text_.Advance(' ', x)), line_height_), highlight);
    }
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
    const TextMetrics& old = text_.Metrics();
    if (old.width == metrics.width && old.advance == metrics.advance) return;
    // The same text shows from the same place after it is laid out again.
    const std::size_t top_offset = text_.LineStart(top_line_);
    text_.SetMetrics(metrics);
    top_line_ = text_.LineOf(top_offset);
    Refresh();
}

void ResultsBox::ScheduleRefresh() {
    if (!refresh_timer_.isActive()) refresh_timer_.start();
}

void ResultsBox::Refresh() {
    refresh_timer_.stop();
    // The view follows the end while the caret stands there with nothing selected.
    if (!HasSelection() && caret_ == text_.Size()) {
        EnsureVisible(caret_);
    } else {
        ScrollToLine(top_line_);
    }
    viewport()->update();
}

// As far down as the last line at the bottom, no further.
void ResultsBox::ScrollToLine(std::size_t top) {
    const std::size_t count = text_.LineCount();
    const auto visible = static_cast<std::size_t>(VisibleLines());
    top_line_ = std::min(top, count > visible ? count - visible : 0);
    viewport()->update();
}

void ResultsBox::EnsureVisible(std::size_t offset) {
    const std::size_t line = text_.LineOf(offset);
    const auto visible = static_cast<std::size_t>(VisibleLines());
    if (line < top_line_) {
        ScrollToLine(line);
    } else if (line >= top_line_ + visible) {
        ScrollToLine(line - visible + 1);
    } else {
        ScrollToLine(top_line_);  // the text may have shrunk under the view
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
        if (point.y() < 0 && top_line_ > 0) {
            ScrollToLine(top_line_ - 1);
        } else if (point.y() > viewport()->height()) {
            ScrollToLine(top_line_ + 1);
        }
        MoveCaret(OffsetAt(point), true);
    } else if (event->timerId() == triple_click_.timerId()) {
        triple_click_.stop();
    } else {
        QAbstractScrollArea::timerEvent(event);
    }
}

}  // namespace bukvotok
