// What a word list that finds nothing most likely is, so that the command can say so: the
// search draws the small Cyrillic letters of Windows-1251, and a list in UTF-16, in capitals or
// in the Latin alphabet looks, to it, like a list of no words.
#pragma once

#include <string_view>

#include "EntryTable.h"

namespace bukvotok {

// Judged from the text as it was read, before loading: a UTF-16 byte-order mark, or a NUL byte
// where UTF-16 has one (at once after the first character, or after Cyrillic letters, each
// with 0x04 beside it).
bool LooksLikeUtf16(std::string_view text_as_read);

// The hint for the list, or nullptr when it looks like none of those.
const char* ListHint(bool looks_like_utf16, const EntryTable& entries);

}  // namespace bukvotok
