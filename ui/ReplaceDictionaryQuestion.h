// Whether to save the results over the file the dictionary was loaded from.  The file dialog
// offers the path last used, so right after a load a single Return would otherwise put the
// results in place of the user's word list.
#pragma once

#include <QString>

#include "Question.h"

namespace bukvotok {

// Asks, naming the file as `path` gives it; true for "Да".
bool AskToReplaceDictionary(const QString& path);

}  // namespace bukvotok
