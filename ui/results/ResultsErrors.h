// What the results box refuses, and why: the errors its edits raise, in Russian, for the error
// box.  Each leaves the box exactly as it was.
#pragma once

#include <cstddef>

#include "Errors.h"

namespace bukvotok {

// An append, a paste or a keystroke that would take the box past its capacity.  Nothing of it
// is taken; what the box holds stays as it was.
// `for_history`: what stands in the way is the room undo needs, not the text alone.
class ResultsFullError : public Error {
public:
    ResultsFullError(std::size_t capacity, bool during_search, bool for_history);
};

// An edit, undo or redo that the machine's memory could not serve.  It did nothing.
inline constexpr const char* kResultsOutOfMemory =
    "Недостаточно памяти: поле найденных совпадений осталось как было.";
class ResultsOutOfMemoryError : public Error {
public:
    ResultsOutOfMemoryError();
};

}  // namespace bukvotok
