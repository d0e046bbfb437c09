// Where the window and the file dialog go on a screen, in pixels, for every face.
#pragma once

namespace bukvotok {

struct ScreenRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

struct ScreenPoint {
    int x = 0;
    int y = 0;
    bool operator==(const ScreenPoint&) const = default;
};

// Where a window's outer frame `frame` goes within `available`, the usable area of its screen:
// where it stands when it lies wholly inside; otherwise moved the least distance that brings it
// inside.  A frame wider or taller than the area keeps its left or top edge on the area's, so
// that the title bar stays in reach.
ScreenPoint NearestPlaceInside(const ScreenRect& frame, const ScreenRect& available);

// The corner of a dialog of outer size `width` x `height` centred across `monitor` and a third
// of the way down, not half-way.
ScreenPoint DialogPlace(const ScreenRect& monitor, int width, int height);

}  // namespace bukvotok
