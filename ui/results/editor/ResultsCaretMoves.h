// Where the caret keys and a double click take the caret in the results text, as in a plain
// text box: a line break (CR LF) is one step, a word is a run of letters, digits and '_', and
// blanks are spaces and tabs.  Every offset given and returned is a caret offset.
#pragma once

#include <cstddef>
#include <utility>

#include "BlockBytes.h"

namespace bukvotok {

bool IsBlankByte(char byte);
bool IsWordByte(char byte);

// One character on, or back.
std::size_t NextCaret(const BlockBytes& text, std::size_t offset);
std::size_t PreviousCaret(const BlockBytes& text, std::size_t offset);
// As Ctrl+Right and Ctrl+Left.
std::size_t NextWordStart(const BlockBytes& text, std::size_t offset);
std::size_t PreviousWordStart(const BlockBytes& text, std::size_t offset);
// What a double click at `offset` selects: the word there, or the one character.
std::pair<std::size_t, std::size_t> WordAround(const BlockBytes& text, std::size_t offset);

}  // namespace bukvotok
