// What the search needs from whoever runs it: the window, the headless command, a test.
// Abstract so that it can be faked in tests; a fake records what happened.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace bukvotok {

// Calls of the host that the search may count instead of making: see QuietCallsAhead.
struct QuietCalls {
    std::uint64_t pumps = 0;           // of ProcessPendingEvents
    std::uint64_t stop_questions = 0;  // of StopRequested
    // Bytes of words, each with its space, that the next calls of AppendToResults would only
    // add to the results: none of them would ask, wait or raise (but for memory running out),
    // and nothing sees the results until the host is next called.  The search may then hold
    // such words and hand them over together with AppendWords before it calls anything else.
    std::uint64_t append_bytes = 0;
};

// Words found one after another, each after one space (" кот мир"), handed over together; a
// host moves `taken` past each word as it goes in, so that one that raises says where.
struct WordsFound {
    std::string_view spaced;
    std::size_t taken = 0;
};

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

    // Appends the words in order, as AppendToResults would one by one.  A host that can take
    // them at once overrides this; the effect must stay the same.
    virtual void AppendWords(WordsFound& words) {
        while (words.taken < words.spaced.size()) {
            std::size_t end = words.spaced.find(' ', words.taken + 1);
            if (end == std::string_view::npos) end = words.spaced.size();
            AppendToResults(words.spaced.substr(words.taken + 1, end - words.taken - 1));
            words.taken = end;
        }
    }

    // How many of the next calls of ProcessPendingEvents would handle nothing and change
    // nothing but a count of them, and how many of the next calls of StopRequested would answer
    // no and change nothing but a count, as long as the search calls nothing else of the host
    // meanwhile.  The search may then leave such calls out and count them with CountQuietCalls
    // before it calls the host again: the host sees the same calls, only counted together.
    // Likewise the words of append_bytes: the host gets them all, and those left out between
    // them are counted after them.  A host whose calls all count for something keeps the
    // default, none.
    virtual QuietCalls QuietCallsAhead() { return {}; }

    // REQUIRES: at most as many as QuietCallsAhead last said, less those counted since.
    virtual void CountQuietCalls(QuietCalls /*left_out*/) {}
};

}  // namespace bukvotok
