// Text in movable global memory, as Windows' clipboard and drag and drop hand it from program
// to program: the box's Windows-1251 bytes made into the memory another program reads, whole
// or not at all, and the memory another program gives read into text the editor takes.
#pragma once

#include <windows.h>

#include <array>
#include <optional>

#include "BlockBytes.h"
#include "Handles.h"
#include "ResultsFace.h"

namespace bukvotok::win32 {

// The formats the box's text is given in: UTF-16 with the line breaks staying CR LF, the
// Windows-1251 bytes themselves, and the Russian locale that says what code page they are in.
inline constexpr std::array<UINT, 3> kTextFormats{CF_UNICODETEXT, CF_TEXT, CF_LOCALE};
// `bytes` in one of those, ending in a NUL; empty for another format or when there is no memory.
GlobalMemory TextMemoryOf(const BlockBytes& bytes, UINT format) noexcept;

// The UTF-16 text `memory` holds, up to its NUL or to the memory's end when a program left none;
// nothing when it cannot be read.  Raises bad_alloc.
std::optional<IncomingText> UnicodeTextIn(HGLOBAL memory);
// The same for 8-bit text in `code_page`, converted to UTF-16.
std::optional<IncomingText> BytesTextIn(HGLOBAL memory, UINT code_page);

}  // namespace bukvotok::win32
