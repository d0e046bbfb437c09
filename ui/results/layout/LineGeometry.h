// Where the letters of a line stand across it, in the layout's units: the caret's x, and the
// offset a click at some x lands on.
#pragma once

#include <cstddef>
#include <cstdint>

#include "BlockBytes.h"
#include "LineLayout.h"
#include "ViewLines.h"

namespace bukvotok {

// The distance from the line's start to `offset`, which lies on it.
std::int64_t XOnLine(const BlockBytes& text, const LineLayout& layout, const ViewLines::Line& line,
                     std::size_t offset);
// The caret offset on the line nearest to `x`.
std::size_t OffsetAtX(const BlockBytes& text, const LineLayout& layout, const ViewLines::Line& line,
                      std::int64_t x);

}  // namespace bukvotok
