// The results box on screen: the lines from the top line down, the selection, the caret and
// where a drag would drop.  Line numbers and x are counted in integers; only the distance from
// the top line and the left edge becomes pixels.
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "ResultsBox.h"
#include "ResultsCodec.h"

namespace bukvotok {

namespace {

// Farther from the screen than this, a line or an x is drawn as if this far: never on screen,
// and never beyond what a pixel coordinate holds.
constexpr std::int64_t kFarOff = 1 << 20;

}  // namespace

int ResultsBox::VisibleLines() const {
    const float height = static_cast<float>(viewport()->height() - 2 * kMargin);
    return std::max(1, static_cast<int>(height / line_height_));
}

float ResultsBox::LineTop(std::size_t line) {
    const std::int64_t rows = std::clamp<std::int64_t>(
        static_cast<std::int64_t>(line) - static_cast<std::int64_t>(TopLine()), -kFarOff, kFarOff);
    return static_cast<float>(kMargin) + static_cast<float>(rows) * line_height_;
}

QRect ResultsBox::CaretRect(std::size_t offset) {
    const std::size_t line = Text().LineOf(offset);
    const std::int64_t units =
        std::min(Text().XOnLine(line, offset),
                 kFarOff * static_cast<std::int64_t>(WrappedText::kUnitsPerPixel));
    const float x = static_cast<float>(kMargin) + WrappedText::ToPixels(units);
    return QRect(static_cast<int>(std::floor(x)), static_cast<int>(LineTop(line)), 1,
                 static_cast<int>(line_height_));
}

std::size_t ResultsBox::OffsetAt(QPoint viewport_point) {
    const auto row = static_cast<std::int64_t>(
        std::floor(static_cast<float>(viewport_point.y() - kMargin) / line_height_));
    const auto last = static_cast<std::int64_t>(Text().LineCount() - 1);
    const std::int64_t line =
        std::clamp(static_cast<std::int64_t>(TopLine()) + row, std::int64_t{0}, last);
    return Text().OffsetAtUnits(
        static_cast<std::size_t>(line),
        WrappedText::ToUnits(static_cast<float>(viewport_point.x() - kMargin)));
}

void ResultsBox::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    QFont font = this->font();
    font.setKerning(false);  // the letters stand where their advances put them
    painter.setFont(font);
    const std::size_t count = Text().LineCount();
    const QRect area = event->rect();
    const std::size_t top = TopLine();
    for (std::size_t line = top; line < count; ++line) {
        const float y = LineTop(line);
        if (y > static_cast<float>(area.bottom())) break;
        PaintLine(painter, line, y);
    }
    const QBrush caret_brush = palette().brush(QPalette::Text);
    if (hasFocus() && caret_shown_ && Text().LineOf(caret_) >= top) {
        painter.fillRect(CaretRect(caret_), caret_brush);
    }
    const std::size_t drop = transfer_.DropOffset();
    if (drop <= Text().Size() && Text().LineOf(drop) >= top) {
        painter.fillRect(CaretRect(drop), caret_brush);
    }
}

// The line in runs that share a colour and hold no tab, each drawn where the advances put it,
// so that the selection and the caret fall exactly between letters.
void ResultsBox::PaintLine(QPainter& painter, std::size_t line, float y) {
    const std::size_t start = Text().LineStart(line);
    const std::size_t end = Text().LineEnd(line);
    const std::string shown = Text().Copy(start, end);
    const auto byte_at = [&shown, start](std::size_t offset) {
        return static_cast<unsigned char>(shown[offset - start]);
    };
    const std::size_t selected_from = std::clamp(SelectionStart(), start, end);
    const std::size_t selected_to = std::clamp(SelectionEnd(), start, end);
    const QColor text_colour = palette().color(QPalette::Text);
    const QColor selected_colour = palette().color(QPalette::HighlightedText);
    const QBrush highlight = palette().brush(QPalette::Highlight);
    const float baseline = y + ascent_;

    const auto pixels = [](std::int64_t units) { return WrappedText::ToPixels(units); };
    std::int64_t x = 0;
    std::size_t run = start;
    std::int64_t run_x = 0;
    const auto flush = [&](std::size_t to) {
        if (to <= run) return;
        const bool selected = run >= selected_from && run < selected_to;
        const float left = kMargin + pixels(run_x);
        if (selected) painter.fillRect(QRectF(left, y, pixels(x - run_x), line_height_), highlight);
        painter.setPen(selected ? selected_colour : text_colour);
        painter.drawText(QPointF(left, baseline),
                         DecodeResults(std::string_view(shown).substr(run - start, to - run)));
    };
    for (std::size_t i = start; i < end; ++i) {
        const unsigned char byte = byte_at(i);
        if (i == selected_from || i == selected_to || byte == '\t') {
            flush(i);
            run = i;
            run_x = x;
        }
        const std::int64_t advance = Text().Advance(byte, x);
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
    if (Text().EndsParagraph(line) && SelectionStart() <= end && SelectionEnd() > end) {
        painter.fillRect(
            QRectF(kMargin + pixels(x), y, pixels(Text().Advance(' ', x)), line_height_),
            highlight);
    }
}

}  // namespace bukvotok
