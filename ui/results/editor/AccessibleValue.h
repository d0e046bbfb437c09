// What assistive technology reads as the results box's value (MSAA's accValue): never the whole
// text, which may be gigabytes, but the stretch of it around the caret.  It is the caret's
// paragraph (between the line breaks around it, which it leaves out) where that is short; in a
// long one, such as the search's words, it is the part of the paragraph within a window of at
// most `most` bytes, cut at blanks so that no word is read in half.
//
// The window does not slide with every step of the caret: it stands on a grid of half its size
// and holds the grid's cell the caret is in with a quarter of the window on either side, so the
// value changes only where the caret crosses a cell's edge or a line break, and the caret's line
// on screen, far shorter than a quarter, is in it whole.  Finding it reads the window's bytes
// only, whatever the size of the text.
#pragma once

#include <cstddef>

#include "BlockBytes.h"

namespace bukvotok {

// A few screens of the box: readers speak a value whole, so more would be noise.
inline constexpr std::size_t kAccessibleValueBytes = 4096;

struct ByteSpan {
    std::size_t from = 0;
    std::size_t to = 0;
    bool operator==(const ByteSpan&) const = default;
};

// REQUIRES: most >= 4.
ByteSpan AccessibleValueSpan(const BlockBytes& text, std::size_t caret,
                             std::size_t most = kAccessibleValueBytes);

}  // namespace bukvotok
