#include "LineLayout.h"

#include <cmath>

namespace bukvotok {

std::int64_t LineLayout::ToUnits(float pixels) {
    return static_cast<std::int64_t>(std::llround(pixels * kUnitsPerPixel));
}

void LineLayout::SetMetrics(const TextMetrics& metrics) {
    metrics_ = metrics;
    for (std::size_t byte = 0; byte < 256; ++byte) {
        // A byte the font draws as nothing still takes a unit, so that no line is endless.
        advance_[byte] = static_cast<std::int32_t>(
            std::clamp<std::int64_t>(ToUnits(metrics.advance[byte]), 1, kAlwaysPastTheEdge));
    }
    advance_['\r'] = advance_['\n'] = 0;
    layout_advance_ = advance_;
    layout_advance_['\t'] = layout_advance_['\r'] = kAlwaysPastTheEdge;
    tab_stop_ = std::clamp<std::int64_t>(ToUnits(metrics.tab_stop), 1, kAlwaysPastTheEdge);
    width_ = static_cast<std::int32_t>(
        std::clamp<std::int64_t>(ToUnits(metrics.width), 0, kAlwaysPastTheEdge));
}

}  // namespace bukvotok
