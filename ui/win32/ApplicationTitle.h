// The program's title for its error boxes and questions, taken from the executable's own file
// name: the part before the first ".", every character after the first lowered by Windows
// ("BUKVOTOK.EXE" gives "Bukvotok", Cyrillic capitals included).  It does not follow the
// window's caption.
#pragma once

#include <string>
#include <string_view>

namespace bukvotok::win32 {

// `path` is cut to the 255 characters a path buffer of 256 holds before the name is taken.
std::wstring ApplicationTitleFromPath(std::wstring_view path);

// For the running program.
std::wstring ApplicationTitle();

}  // namespace bukvotok::win32
