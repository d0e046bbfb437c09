// What the main window's behaviour asks of its results box: the text the search appends to,
// the commands' clear and save, and what closing would lose.  Every face gives the window
// EditorResults, over its box's editor (ResultsEditor).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "TextModel.h"

namespace bukvotok {

class WindowResults {
public:
    virtual ~WindowResults() = default;

    virtual std::string ResultsText() const = 0;
    virtual std::size_t ResultsSize() const = 0;
    // The text in pieces, in order, to be written out without a copy.  Valid until the text
    // next changes.
    virtual std::vector<std::string_view> ResultsPieces() const = 0;

    // --- What the search appends through (see SearchHost) ---
    virtual void SetResultsText(std::string_view bytes) = 0;
    // One space, then the word.
    virtual void AppendWord(std::string_view word) = 0;
    // Words each after one space; `taken` moves past each word as it goes in.
    virtual void AppendWords(std::string_view spaced, std::size_t& taken) = 0;
    // How many bytes appends may add with nothing to ask or refuse.
    virtual std::size_t PlainAppendRoom() const = 0;
    // Around each search, one inside another included.
    virtual void BeginSearch() = 0;
    virtual void EndSearch() = 0;

    // --- The commands ---
    // Empties the box; reports its own errors.
    virtual void Clear() = 0;
    // The whole text is in a file now: its save's number, for ForgetSave when another text is
    // saved over that file.
    virtual std::uint64_t MarkSaved() = 0;
    virtual void ForgetSave(std::uint64_t save) = 0;
    // Whether the text is as it was last saved.
    virtual bool Saved() const = 0;
    // The removed text kept for the user, in no file.
    virtual TextModel::Removed Kept() const = 0;
    // Counts the changes of the text, appends included.
    virtual std::uint64_t Changes() const = 0;
    // The most bytes the box holds.
    virtual std::size_t Capacity() const = 0;
    virtual void SetCapacity(std::size_t bytes) = 0;
};

}  // namespace bukvotok
