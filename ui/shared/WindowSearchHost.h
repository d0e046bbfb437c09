// The window as the search's host: the status line, the stop box, the results box and the
// face's event loop.
//
// A pass through the event loop costs about as much as a hundred steps of the search, and when
// nothing waits it changes nothing.  An event handled a millisecond late is one the user made a
// millisecond later; so the loop runs when about a millisecond has passed since it last ran,
// and the steps in between only count.  Everything a pump does, it does at the same place in
// the search as before; it just finds more to do.
#pragma once

#include <chrono>

#include "DictionaryList.h"
#include "SearchHost.h"

namespace bukvotok {

class SearchFace;
class WindowResults;

class WindowSearchHost : public SearchHost {
public:
    // `stop_box_checked` is the stop box's state as its change notifications keep it.
    WindowSearchHost(SearchFace& face, WindowResults& results, const DictionaryList& dictionary,
                     const bool& stop_box_checked);
    ~WindowSearchHost() override;
    WindowSearchHost(const WindowSearchHost&) = delete;
    WindowSearchHost& operator=(const WindowSearchHost&) = delete;

    void SetStatus(std::string_view text) override;
    bool StopRequested() override;
    std::string GetResultsText() override;
    void SetResultsText(std::string text) override;
    void AppendToResults(std::string_view word) override;
    void AppendWords(WordsFound& words) override;
    void ProcessPendingEvents() override;
    // The steps until the clock is read again only count; the stop box and the list change only
    // while events are handled, so until then every question is answered no.  Nothing sees the
    // results box then either: the words that fit it without pushing anything out may wait,
    // and go in together.
    QuietCalls QuietCallsAhead() override;
    void CountQuietCalls(QuietCalls left_out) override;

    // Between two passes through the event loop, at the least.
    static constexpr std::chrono::microseconds kPumpInterval{1000};
    // Reading the clock costs a few steps of the search, and ends a run of passes the search
    // makes without calling; so only every so many steps (a tenth of a millisecond or less).
    static constexpr int kStepsPerClockRead = 16384;

private:
    // Out of line and cold, so that StopRequested and ProcessPendingEvents, run at every pass
    // and every step, stay a handful of instructions.
    [[gnu::noinline, gnu::cold]] void WaitForTheUser();
    [[gnu::noinline, gnu::cold]] void PumpWhenDue();

    SearchFace& face_;
    WindowResults& results_;
    const DictionaryList& dictionary_;
    // Asked after every pass, a few times a microsecond, where a call into the toolkit would
    // cost a twentieth of the search.
    const bool& stop_box_checked_;
    // The first call pumps at once, so the search's status shows before its first pass.
    int steps_since_clock_ = kStepsPerClockRead - 1;
    std::chrono::steady_clock::time_point last_pump_;
};

// What the host times its passes through the event loop by: the steady clock, or a test's clock
// that moves with the search instead of with the machine.  Returns the clock it replaces; null
// sets the steady clock again.
using PumpClock = std::chrono::steady_clock::time_point (*)();
PumpClock SetPumpClock(PumpClock clock);

}  // namespace bukvotok
