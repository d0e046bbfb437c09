// Memory for the blocks that appends fill, made ready on a thread of its own before it is asked
// for.
//
// A search writes its words into fresh memory at megabytes a second, and fresh memory is dear
// at its first write: the system finds and clears each page then, and a virtual machine does the
// same work again in the layer below, page by page, for the processor that writes.  A block put
// in the system's huge pages and faulted in beforehand costs the writer nothing of that (on the
// build machine 1.2 ns a byte, a search's twentieth), and one fault on another processor instead.
#pragma once

#include <cstddef>

namespace bukvotok {

// A block of `bytes` already written to once, to be freed with std::free; null when none is
// ready (the caller allocates as usual), when there is none of that size, or when the system
// cannot ready one.  Each block taken starts the readying of the next.  Window's thread only.
char* TakeReadyBlock(std::size_t bytes) noexcept;

}  // namespace bukvotok
