// The results box's view of its text: which lines are on screen, where each letter stands, and
// drawing them.  It holds its place by the offset of its top line, never by a line number: the
// lines are laid out around the view (ViewLines), and where they are still a guess, they give
// way to the true ones without the text at the top moving.
//
// Line offsets and x are integers throughout; only the distance from the top line and the left
// edge becomes pixels.  Nothing here raises: the lines are found in memory laid out already.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "BlockBytes.h"
#include "ResultsFace.h"
#include "ViewLines.h"

namespace bukvotok {

class ResultsView {
public:
    // Between the frame and the text, as in Qt's own text boxes.
    static constexpr int kMargin = 4;

    explicit ResultsView(const BlockBytes& text);

    ViewLines& Lines() { return lines_; }

    // The font and the size of the area the lines are drawn in: they wrap at its width.
    void SetGeometry(const FontMeasures& font, int width, int height) noexcept;
    int Height() const { return height_; }
    int VisibleLines() const;

    // --- Where the view stands ---
    ViewLines::Line TopLine();
    // Whether the view shows the end of the text, and follows it as it grows.
    bool FollowsEnd() const { return follow_end_; }
    // `line` at the top, but no further down than the last line at the bottom.
    void ScrollTo(const ViewLines::Line& line);
    void ScrollBy(long long lines);
    void ScrollToEnd() { ScrollTo(LastTop()); }
    // Scrolls as little as brings the line of `offset` on screen.
    void EnsureVisible(std::size_t offset);
    // After the text changed under the view: the end again while it was followed.
    void Refresh(bool follow);

    // --- Geometry, in the viewport's coordinates ---
    // The caret's bar before `offset`, far off screen when its line is.
    PixelRect CaretRect(std::size_t offset);
    // The caret offset nearest to a point.
    std::size_t OffsetAt(PixelPoint point);
    // The line `rows` lines below (or above) `line`, or the last (first) there is.
    ViewLines::Line Moved(ViewLines::Line line, long long rows);
    std::int64_t XOf(std::size_t offset);
    std::size_t OffsetAtX(const ViewLines::Line& line, std::int64_t x);

    // What the painting shows besides the text.
    struct Overlay {
        std::size_t selection_from = 0;
        std::size_t selection_to = 0;
        std::optional<std::size_t> caret;
        std::optional<std::size_t> drop;
    };
    void Paint(ResultsSurface& surface, const PixelRect& area, const Overlay& overlay);

private:
    // The top line that puts the last line at the bottom.
    ViewLines::Line LastTop();
    // How many lines `line` lies below the top line, or kFarOff either way when it is off screen.
    long long RowOf(const ViewLines::Line& line);
    float RowTop(long long row) const;
    void PaintLine(ResultsSurface& surface, const ViewLines::Line& line, float y, float right,
                   const Overlay& overlay);

    const BlockBytes& text_;
    ViewLines lines_;
    int height_ = 0;
    int line_height_ = 13;
    float ascent_ = 10;
    std::size_t top_ = 0;  // where the top line starts, as of top_version_
    std::uint64_t top_version_ = 0;
    bool follow_end_ = true;  // the end of the text was on screen when the view last moved
};

}  // namespace bukvotok
