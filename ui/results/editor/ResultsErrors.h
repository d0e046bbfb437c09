// What the results box refuses, and why: the errors its edits raise, and the questions it asks,
// in Russian, for the error box.  Each refusal leaves the box exactly as it was.
#pragma once

#include <cstddef>
#include <string>

#include "Errors.h"
#include "TextModel.h"

namespace bukvotok {

// An append, a paste or a keystroke that would take the box past its capacity.  Nothing of it
// is taken; what the box holds stays as it was.  `reason`: what stands in the way, the text
// alone or the room undo needs; `held`, during a search, what the steps made since it began
// hold, which its words may not push out.
class ResultsFullError : public Error {
public:
    ResultsFullError(std::size_t capacity, bool during_search, TextModel::Refusal reason,
                     TextModel::Removed held = {});
};

// The search stops without another word: the user would not let go of removed text that its
// words needed the room of, or has been told in this search why they cannot go in.  The box
// stays as it was.
class ResultsKeptError : public Error {
public:
    ResultsKeptError() : Error("removed text kept") {}
};

// An edit that only removed text kept for the user stands in the way of, `kept` bytes of it,
// which letting go would make room for.  The box asks (EditQuestion) before it gives up.
class ResultsKeptInTheWayError : public Error {
public:
    explicit ResultsKeptInTheWayError(std::size_t kept);
    std::size_t Kept() const { return kept_; }

private:
    std::size_t kept_;
};

// Text another program offered, that did not come within the clipboard's wait.
class ResultsNotReceivedError : public Error {
public:
    ResultsNotReceivedError();
};

// An edit, undo or redo that the machine's memory could not serve.  It did nothing.
inline constexpr const char* kResultsOutOfMemory =
    "Недостаточно памяти: поле найденных совпадений осталось как было.";
class ResultsOutOfMemoryError : public Error {
public:
    ResultsOutOfMemoryError();
};

// The questions, "Да" letting the removed text go: when the search's words need its room, and
// when an edit does.
std::string SearchQuestion(TextModel::Removed kept);
std::string EditQuestion(std::size_t kept);

// Megabytes as the box's messages give them: "1870 МБ", "0,5 МБ", and "20 КБ" below those.
std::string MegabytesText(std::size_t bytes);
// The keys that bring removed text back: "Ctrl+Z", "Ctrl+Y" or both.
std::string KeysText(TextModel::Removed removed);

}  // namespace bukvotok
