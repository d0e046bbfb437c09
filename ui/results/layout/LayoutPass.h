// Lays out a stretch of the results text from a line start known to be one: the work of keeping
// KnownLines up to date, on the window's thread a little at a time, or on a thread of its own.
#pragma once

#include <atomic>
#include <cstddef>

#include "BlockBytes.h"
#include "KnownLines.h"
#include "LineLayout.h"

namespace bukvotok {

// Lays out from `work.from` until it meets `work.to` or a candidate, or reaches the end of the
// text, recording a line start about every `spacing` bytes; it stops at a recorded start once
// `budget` bytes are behind it, or at the next line when `stop` is set.  `lines` counts the
// lines laid out.  Raises bad_alloc.
KnownLines::Run LayOutStretch(const BlockBytes& text, const LineLayout& layout,
                              const KnownLines::Work& work, std::size_t spacing, std::size_t budget,
                              const std::atomic<bool>* stop, std::size_t& lines);

}  // namespace bukvotok
