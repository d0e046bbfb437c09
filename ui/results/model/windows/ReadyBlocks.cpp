#include "ReadyBlocks.h"

namespace bukvotok {

// Windows gives huge pages only to programs the administrator grants them: the blocks are
// allocated as they are needed.
char* TakeReadyBlock(std::size_t /*bytes*/) noexcept { return nullptr; }

}  // namespace bukvotok
