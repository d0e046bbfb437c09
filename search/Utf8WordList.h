// Word lists saved as UTF-8, as most lists on Linux are, taken in Windows-1251 when loaded.
//
// A list is taken as UTF-8 when its text (up to its first NUL byte, past which no entry is ever
// read) is well-formed UTF-8 throughout and holds at least one byte outside ASCII.  Russian text
// in Windows-1251 practically never passes: its letters are the bytes 0xC0-0xFF, and two of them
// in a row are never a valid UTF-8 sequence.  A list of ASCII only reads the same either way and
// is left alone.
//
// The conversion keeps the line structure: line ends are ASCII, and every character becomes
// exactly one byte, '?' for one the code page lacks, so each entry stays in its place and the
// search's "first entry in file order" is the same as in the Windows-1251 twin of the list.
#pragma once

#include <string>
#include <string_view>

namespace bukvotok {

bool IsUtf8WordList(std::string_view text);

// Converts a UTF-8 word list to Windows-1251 in place, dropping a leading byte-order mark and
// whatever follows the first NUL; any other text is left exactly as it is.  A character never
// takes more bytes in the code page than in UTF-8, so no second copy of a large list is needed.
void ConvertUtf8WordList(std::string& text);

}  // namespace bukvotok
