// Text on its way into the results box, as the bytes the box holds: Windows-1251, line breaks
// as CR LF.  Every face hands typed, pasted and dropped text in as UTF-16.
#pragma once

#include <string>
#include <string_view>

#include "BlockBytes.h"

namespace bukvotok {

// Every kind of line break (CR LF, CR, LF, U+2028, U+2029) becomes CR LF, a character the code
// page lacks '?', a surrogate pair one '?'.
std::string EncodeInserted(std::u16string_view text);
// The same bytes in blocks, ready to go into the text as they are: a paste of any size costs
// its bytes once.
BlockBytes EncodeInsertedToBlocks(std::u16string_view text);

// CR LF, a lone CR and a lone LF each become CR LF.
std::string WithCrLfBreaks(std::string_view bytes);

}  // namespace bukvotok
