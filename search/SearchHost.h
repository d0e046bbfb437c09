// What the search needs from whoever runs it: the window, the headless command, a test.
// Abstract so that it can be faked in tests; a fake records what happened.
#pragma once

#include <string>
#include <string_view>

namespace bukvotok {

class SearchHost {
public:
    virtual ~SearchHost() = default;

    virtual void SetStatus(std::string_view text) = 0;

    // Asked once after every pass; true ends the search.
    virtual bool StopRequested() = 0;

    // The whole results text, Windows-1251 bytes; line breaks the user typed are CR LF.
    virtual std::string GetResultsText() = 0;
    virtual void SetResultsText(std::string text) = 0;

    // Lets the user act: handles every waiting event, then returns.  Anything may happen in
    // here, another search or a new dictionary included.
    virtual void ProcessPendingEvents() = 0;

    // Appends a found word to the results after one space.  A host that can append without
    // reading and rewriting the whole text overrides this; the effect must stay the same.
    virtual void AppendToResults(std::string_view word) {
        std::string text = GetResultsText();
        text += ' ';
        text += word;
        SetResultsText(std::move(text));
    }
};

}  // namespace bukvotok
