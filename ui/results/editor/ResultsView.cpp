#include "ResultsView.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "LineGeometry.h"

namespace bukvotok {

namespace {

constexpr float kTabStop = 80;
// Farther from the screen than this many lines, or pixels, a place is drawn as if this far:
// never on screen, and never beyond what a pixel coordinate holds.
constexpr long long kFarOff = 1 << 20;

}  // namespace

ResultsView::ResultsView(const BlockBytes& text) : text_(text), lines_(text) {}

void ResultsView::SetGeometry(const FontMeasures& font, int width, int height) noexcept {
    TextMetrics metrics;
    for (std::size_t byte = 0; byte < 256; ++byte) {
        if (byte == '\r' || byte == '\n') continue;
        metrics.advance[byte] = font.advance[byte];
    }
    metrics.tab_stop = kTabStop;
    metrics.width = std::max(1.0f, static_cast<float>(width - 2 * kMargin));
    height_ = height;
    line_height_ = std::max(1, font.line_height);
    ascent_ = font.ascent;
    // The top line keeps its offset: the line that holds it at the new width comes to the top.
    // Nothing is laid out now but what the next paint shows.
    lines_.SetMetrics(metrics);
}

int ResultsView::VisibleLines() const {
    return std::max(1, (height_ - 2 * kMargin) / line_height_);
}

ViewLines::Line ResultsView::TopLine() {
    if (top_version_ != lines_.Version()) {
        top_ = lines_.LineAt(top_).start;
        top_version_ = lines_.Version();
    }
    return lines_.LineAt(top_);
}

ViewLines::Line ResultsView::Moved(ViewLines::Line line, long long rows) {
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

ViewLines::Line ResultsView::LastTop() {
    return Moved(lines_.LineAt(text_.size()), -(VisibleLines() - 1));
}

void ResultsView::ScrollTo(const ViewLines::Line& line) {
    const ViewLines::Line last_top = LastTop();
    top_ = std::min(line.start, last_top.start);
    top_version_ = lines_.Version();
    follow_end_ = top_ >= last_top.start;
}

void ResultsView::ScrollBy(long long lines) { ScrollTo(Moved(TopLine(), lines)); }

void ResultsView::EnsureVisible(std::size_t offset) {
    const ViewLines::Line line = lines_.LineAt(offset);
    const ViewLines::Line top = TopLine();
    if (line.start < top.start) return ScrollTo(line);
    const ViewLines::Line bottom = Moved(top, VisibleLines() - 1);
    if (line.start > bottom.start) return ScrollTo(Moved(line, -(VisibleLines() - 1)));
    ScrollTo(top);  // the text may have shrunk under the view
}

void ResultsView::Refresh(bool follow) {
    if (follow) {
        ScrollToEnd();
    } else {
        ScrollTo(TopLine());
    }
}

long long ResultsView::RowOf(const ViewLines::Line& line) {
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

float ResultsView::RowTop(long long row) const {
    return static_cast<float>(kMargin) + static_cast<float>(row * line_height_);
}

std::int64_t ResultsView::XOf(std::size_t offset) {
    return XOnLine(text_, lines_.Layout(), lines_.LineAt(offset), offset);
}

std::size_t ResultsView::OffsetAtX(const ViewLines::Line& line, std::int64_t x) {
    return bukvotok::OffsetAtX(text_, lines_.Layout(), line, x);
}

PixelRect ResultsView::CaretRect(std::size_t offset) {
    const ViewLines::Line line = lines_.LineAt(offset);
    const std::int64_t units =
        std::min<std::int64_t>(XOnLine(text_, lines_.Layout(), line, offset),
                               kFarOff * static_cast<std::int64_t>(LineLayout::kUnitsPerPixel));
    const float x = static_cast<float>(kMargin) + LineLayout::ToPixels(units);
    return PixelRect{static_cast<int>(std::floor(x)), static_cast<int>(RowTop(RowOf(line))), 1,
                     line_height_};
}

std::size_t ResultsView::OffsetAt(PixelPoint point) {
    // Rows above the top count down from -1: the division rounds toward the floor.
    const long long y = static_cast<long long>(point.y) - kMargin;
    const long long row = (y >= 0 ? y : y - line_height_ + 1) / line_height_;
    const ViewLines::Line line = Moved(TopLine(), std::clamp(row, -kFarOff, kFarOff));
    return OffsetAtX(line, LineLayout::ToUnits(static_cast<float>(point.x - kMargin)));
}

void ResultsView::Paint(ResultsSurface& surface, const PixelRect& area, const Overlay& overlay) {
    ViewLines::Line line = TopLine();
    const auto right = static_cast<float>(area.left + area.width - 1);
    for (long long row = 0;; ++row) {
        const float y = RowTop(row);
        if (y > static_cast<float>(area.Bottom())) break;
        PaintLine(surface, line, y, right, overlay);
        const std::optional<ViewLines::Line> next = lines_.LineAfter(line);
        if (!next) break;
        line = *next;
    }
    for (const std::optional<std::size_t>& bar : {overlay.caret, overlay.drop}) {
        if (!bar || *bar > text_.size()) continue;
        const PixelRect caret = CaretRect(*bar);
        surface.Fill({static_cast<float>(caret.left), static_cast<float>(caret.top),
                      static_cast<float>(caret.width), static_cast<float>(caret.height)},
                     Ink::kText);
    }
}

// The line in runs that share a colour and hold no tab, each drawn where the advances put it,
// so that the selection and the caret fall exactly between letters.  Only what reaches the
// right edge is read: blanks may run a line on for 64 KB.
void ResultsView::PaintLine(ResultsSurface& surface, const ViewLines::Line& line, float y,
                            float right, const Overlay& overlay) {
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
    const auto height = static_cast<float>(line_height_);
    const float baseline = y + ascent_;
    const auto pixels = [](std::int64_t units) { return LineLayout::ToPixels(units); };

    std::int64_t x = 0;
    std::size_t run = start;
    std::int64_t run_x = 0;
    const auto flush = [&](std::size_t to) {
        if (to <= run) return;
        const bool selected = run >= selected_from && run < selected_to;
        const float left = kMargin + pixels(run_x);
        if (selected) surface.Fill({left, y, pixels(x - run_x), height}, Ink::kHighlight);
        surface.DrawText(left, baseline, std::string_view(shown).substr(run - start, to - run),
                         selected ? Ink::kSelectedText : Ink::kText);
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
                surface.Fill({kMargin + pixels(x), y, pixels(advance), height}, Ink::kHighlight);
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
        surface.Fill({kMargin + pixels(x), y, pixels(layout.Advance(' ', x)), height},
                     Ink::kHighlight);
    }
}

}  // namespace bukvotok
