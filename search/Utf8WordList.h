// Word lists saved as UTF-8, as most lists on Linux are, taken in Windows-1251 when loaded.
//
// A list is taken as UTF-8 when, in its text up to its first NUL byte (past which no entry is
// ever read), the well-formed characters beyond ASCII are at least one and at least
// kWellFormedPerIllFormedByte times as many as the bytes that belong to no well-formed
// character.  So a list of a million UTF-8 words still reads as UTF-8 with a Latin-1 line or a
// stray byte in it, while Russian text in Windows-1251 never passes: its small letters are the
// bytes 0xE0-0xFF, which as UTF-8 lead bytes need continuation bytes 0x80-0xBF after them, and
// those are mostly punctuation and rare letters in the code page.  In a list of 1.4 million
// Russian word forms no line has more well-formed characters than ill-formed bytes, so no part
// of such a list comes near the factor.  A list of ASCII only reads the same either way and is
// left alone.
//
// The conversion keeps the line structure: line ends are ASCII and no ill-formed sequence takes
// one in, and every character and every ill-formed sequence (see DecodeUtf8) becomes exactly
// one byte, '?' for one the code page lacks, so each entry stays in its place and the search's
// "first entry in file order" is the same as in the Windows-1251 twin of the list.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace bukvotok {

inline constexpr std::size_t kWellFormedPerIllFormedByte = 8;

bool IsUtf8WordList(std::string_view text);

// Converts a UTF-8 word list to Windows-1251 in place, dropping a leading byte-order mark and
// whatever follows the first NUL; any other text is left exactly as it is.  A character never
// takes more bytes in the code page than in UTF-8, so no second copy of a large list is needed.
void ConvertUtf8WordList(std::string& text);

}  // namespace bukvotok
