#include "PagesAhead.h"

namespace bukvotok {

// Windows has no request to fault in committed pages ahead of writing them; they fault as the
// appends reach them.
void ReadyPagesForWriting(char* /*from*/, std::size_t /*bytes*/) noexcept {}

}  // namespace bukvotok
