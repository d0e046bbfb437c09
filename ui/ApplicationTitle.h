// The program's title for its error boxes, taken from the executable's own file name: the part
// before the first ".", every character after the first in small letters ("WORDS.EXE" gives
// "Words").  It does not follow the window's caption.
#pragma once

#include <QString>

namespace bukvotok {

QString ApplicationTitleFromPath(const QString& executable_path);

// For the running program.
QString ApplicationTitle();

}  // namespace bukvotok
