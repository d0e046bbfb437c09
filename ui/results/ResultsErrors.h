// What the results box refuses, and why: the errors its edits raise, in Russian, for the error
// box.  Each leaves the box exactly as it was.
#pragma once

#include <cstddef>
#include <string>

#include "Errors.h"
#include "TextModel.h"

namespace bukvotok {

// An append, a paste or a keystroke that would take the box past its capacity.  Nothing of it
// is taken; what the box holds stays as it was.  `reason`: what stands in the way, the text
// alone, the room undo needs, or removed text kept for the user (`kept` bytes of it).
class ResultsFullError : public Error {
public:
    ResultsFullError(std::size_t capacity, bool during_search, TextModel::Refusal reason,
                     std::size_t kept = 0);
};

// The user would not let go of removed text that the search's words needed the room of: the
// search stops, and the box stays as it was.
class ResultsKeptError : public Error {
public:
    ResultsKeptError() : Error("removed text kept") {}
};

// An edit, undo or redo that the machine's memory could not serve.  It did nothing.
inline constexpr const char* kResultsOutOfMemory =
    "Недостаточно памяти: поле найденных совпадений осталось как было.";
class ResultsOutOfMemoryError : public Error {
public:
    ResultsOutOfMemoryError();
};

// Megabytes as the box's messages give them: "1870 МБ", "0,5 МБ".
std::string MegabytesText(std::size_t bytes);

}  // namespace bukvotok
