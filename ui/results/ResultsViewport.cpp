#include "ResultsViewport.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <string>

#include "Cp1251.h"
#include "LineGeometry.h"
#include "ResultsCodec.h"

namespace bukvotok {

namespace {

constexpr float kTabStop = 80;
// Farther from the screen than this many lines, or pixels, a place is drawn as if this far:
// never on screen, and never beyond what a pixel coordinate holds.
constexpr long long kFarOff = 1 << 20;

}  // namespace

ResultsViewport::ResultsViewport(const BlockBytes& text) : text_(text), lines_(text) {}

void ResultsViewport::SetGeometry(const QFont& font, QSize size) noexcept {
    const QFontMetricsF font_metrics(font);
    TextMetrics metrics;
    for (std::size_t byte = 0; byte < 256; ++byte) {
        if (byte == '\r' || byte == '\n') continue;
        const auto unit = Cp1251ToUnicode(static_cast<unsigned char>(byte));
        metrics.advance[byte] = static_cast<float>(font_metrics.horizontalAdvance(QChar(unit)));
    }
    metrics.tab_stop = kTabStop;
    metrics.width = std::max(1.0f, static_cast<float>(size.width() - 2 * kMargin));
    font_ = font;
    font_.setKerning(false);  // the letters stand where their advances put them
    size_ = size;
    line_height_ = static_cast<float>(std::ceil(font_metrics.lineSpacing()));
    ascent_ = static_cast<float>(font_metrics.ascent());
    // The top line keeps its offset: the line that holds it at the new width comes to the top.
    // Nothing is laid out now but what the next paint shows.
    lines_.SetMetrics(metrics);
}

int ResultsViewport::VisibleLines() const {
    const float height = static_cast<float>(size_.height() - 2 * kMargin);
    return std::max(1, static_cast<int>(height / line_height_));
}

ViewLines::Line ResultsViewport::TopLine() {
    if (top_version_ != lines_.Version()) {
        top_ = lines_.LineAt(top_).start;
        top_version_ = lines_.Version();
    }
    return lines_.LineAt(top_);
}

ViewLines::Line ResultsViewport::Moved(ViewLines::Line line, long long rows) {
    for (; rows > 0; --rows) {
        const std::optional<ViewLines::Line> next = lines_.LineAfter(line);
        if (!next) break;
        line = *next;
    }
    for (; rows < 0; ++rows) {
        const std::optional<ViewLines::Line> previous = lines_.LineBefore(line);
        if (!previous) break;
        line = *previous;
    }
    return line;
}

ViewLines::Line ResultsViewport::LastTop() {
    return Moved(lines_.LineAt(text_.size()), -(VisibleLines() - 1));
}

void ResultsViewport::ScrollTo(const ViewLines::Line& line) {
    const ViewLines::Line last_top = LastTop();
    top_ = std::min(line.start, last_top.start);
    top_version_ = lines_.Version();
    follow_end_ = top_ >= last_top.start;
}

void ResultsViewport::ScrollBy(long long lines) { ScrollTo(Moved(TopLine(), lines)); }

void ResultsViewport::EnsureVisible(std::size_t offset) {
    const ViewLines::Line line = lines_.LineAt(offset);
    const ViewLines::Line top = TopLine();
    if (line.start < top.start) return ScrollTo(line);
    const ViewLines::Line bottom = Moved(top, VisibleLines() - 1);
    if (line.start > bottom.start) return ScrollTo(Moved(line, -(VisibleLines() - 1)));
    ScrollTo(top);  // the text may have shrunk under the view
}

void ResultsViewport::Refresh(bool follow) {
    if (follow) {
        ScrollToEnd();
    } else {
        ScrollTo(TopLine());
    }
}

long long ResultsViewport::RowOf(const ViewLines::Line& line) {
    const long long limit = VisibleLines() + 2;
    ViewLines::Line at = TopLine();
    long long row = 0;
    while (at.start < line.start && row <= limit) {
        const std::optional<ViewLines::Line> next = lines_.LineAfter(at);
        if (!next) break;
        at = *next;
        ++row;
    }
    while (at.start > line.start && -row <= limit) {
        const std::optional<ViewLines::Line> previous = lines_.LineBefore(at);
        if (!previous) break;
        at = *previous;
        --row;
    }
    if (at.start != line.start) return line.start < at.start ? -kFarOff : kFarOff;
    return row;
}

float ResultsViewport::RowTop(long long row) const {
    return static_cast<float>(kMargin) + static_cast<float>(row) * line_height_;
}

std::int64_t ResultsViewport::XOf(std::size_t offset) {
    return XOnLine(text_, lines_.Layout(), lines_.LineAt(offset), offset);
}

std::size_t ResultsViewport::OffsetAtX(const ViewLines::Line& line, std::int64_t x) {
    return bukvotok::OffsetAtX(text_, lines_.Layout(), line, x);
}

QRect ResultsViewport::CaretRect(std::size_t offset) {
    const ViewLines::Line line = lines_.LineAt(offset);
    const std::int64_t units =
        std::min<std::int64_t>(XOnLine(text_, lines_.Layout(), line, offset),
                               kFarOff * static_cast<std::int64_t>(LineLayout::kUnitsPerPixel));
    const float x = static_cast<float>(kMargin) + LineLayout::ToPixels(units);
    return QRect(static_cast<int>(std::floor(x)), static_cast<int>(RowTop(RowOf(line))), 1,
                 static_cast<int>(line_height_));
}

std::size_t ResultsViewport::OffsetAt(QPoint point) {
    const auto row =
        static_cast<long long>(std::floor(static_cast<float>(point.y() - kMargin) / line_height_));
    const ViewLines::Line line = Moved(TopLine(), std::clamp(row, -kFarOff, kFarOff));
    return OffsetAtX(line, LineLayout::ToUnits(static_cast<float>(point.x() - kMargin)));
}

void ResultsViewport::Paint(QPainter& painter, const QRect& area, const QPalette& palette,
                            const Overlay& overlay) {
    painter.setFont(font_);
    ViewLines::Line line = TopLine();
    const auto right = static_cast<float>(area.right());
    for (long long row = 0;; ++row) {
        const float y = RowTop(row);
        if (y > static_cast<float>(area.bottom())) break;
        PaintLine(painter, line, y, right, palette, overlay);
        const std::optional<ViewLines::Line> next = lines_.LineAfter(line);
        if (!next) break;
        line = *next;
    }
    const QBrush caret_brush = palette.brush(QPalette::Text);
    for (const std::optional<std::size_t>& bar : {overlay.caret, overlay.drop}) {
        if (bar && *bar <= text_.size()) painter.fillRect(CaretRect(*bar), caret_brush);
    }
}

// The line in runs that share a colour and hold no tab, each drawn where the advances put it,
// so that the selection and the caret fall exactly between letters.  Only what reaches the
// right edge is read: blanks may run a line on for 64 KB.
void ResultsViewport::PaintLine(QPainter& painter, const ViewLines::Line& line, float y,
                                float right, const QPalette& palette, const Overlay& overlay) {
    const LineLayout& layout = lines_.Layout();
    const std::size_t start = line.start;
    const std::int64_t right_units = LineLayout::ToUnits(right);
    std::string shown;
    std::int64_t reach = 0;
    text_.ForEachPiece(start, line.TextEnd(), [&](std::string_view piece, std::size_t) {
        for (const char byte : piece) {
            if (reach > right_units) return false;
            reach += layout.Advance(static_cast<unsigned char>(byte), reach);
            shown += byte;
        }
        return true;
    });
    const std::size_t end = start + shown.size();
    const std::size_t selected_from = std::clamp(overlay.selection_from, start, end);
    const std::size_t selected_to = std::clamp(overlay.selection_to, start, end);
    const QColor text_colour = palette.color(QPalette::Text);
    const QColor selected_colour = palette.color(QPalette::HighlightedText);
    const QBrush highlight = palette.brush(QPalette::Highlight);
    const float baseline = y + ascent_;
    const auto pixels = [](std::int64_t units) { return LineLayout::ToPixels(units); };

    std::int64_t x = 0;
    std::size_t run = start;
    std::int64_t run_x = 0;
    const auto flush = [&](std::size_t to) {
        if (to <= run) return;
        const bool selected = run >= selected_from && run < selected_to;
        const float left = kMargin + pixels(run_x);
        if (selected) {
            painter.fillRect(QRectF(left, y, pixels(x - run_x), line_height_), highlight);
        }
        painter.setPen(selected ? selected_colour : text_colour);
        painter.drawText(QPointF(left, baseline),
                         DecodeResults(std::string_view(shown).substr(run - start, to - run)));
    };
    for (std::size_t i = start; i < end; ++i) {
        const auto byte = static_cast<unsigned char>(shown[i - start]);
        if (i == selected_from || i == selected_to || byte == '\t') {
            flush(i);
            run = i;
            run_x = x;
        }
        const std::int64_t advance = layout.Advance(byte, x);
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
    if (line.ends_paragraph && end == line.TextEnd() && overlay.selection_from <= end &&
        overlay.selection_to > end) {
        painter.fillRect(
            QRectF(kMargin + pixels(x), y, pixels(layout.Advance(' ', x)), line_height_),
            highlight);
    }
}

}  // namespace bukvotok
