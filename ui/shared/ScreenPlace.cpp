#include "ScreenPlace.h"

#include <algorithm>

namespace bukvotok {

namespace {

// The nearest start of a span of `length` inside [low, low + room), or `low` when none fits.
int Nearest(int start, int length, int low, int room) {
    return std::max(low, std::min(start, low + room - length));
}

}  // namespace

ScreenPoint NearestPlaceInside(const ScreenRect& frame, const ScreenRect& available) {
    return {Nearest(frame.left, frame.width, available.left, available.width),
            Nearest(frame.top, frame.height, available.top, available.height)};
}

ScreenPoint DialogPlace(const ScreenRect& monitor, int width, int height) {
    return {monitor.left + (monitor.width - width) / 2,
            monitor.top + (monitor.height - height) / 3};
}

}  // namespace bukvotok
