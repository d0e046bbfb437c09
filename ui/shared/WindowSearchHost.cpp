#include "WindowSearchHost.h"

#include <utility>

#include "WindowFace.h"
#include "WindowResults.h"

namespace bukvotok {

namespace {

std::chrono::steady_clock::time_point SteadyNow() { return std::chrono::steady_clock::now(); }

PumpClock pump_clock = &SteadyNow;

}  // namespace

PumpClock SetPumpClock(PumpClock clock) {
    return std::exchange(pump_clock, clock ? clock : &SteadyNow);
}

WindowSearchHost::WindowSearchHost(SearchFace& face, WindowResults& results,
                                   const DictionaryList& dictionary, const bool& stop_box_checked)
    : face_(face), results_(results), dictionary_(dictionary), stop_box_checked_(stop_box_checked) {
    results_.BeginSearch();
}

WindowSearchHost::~WindowSearchHost() { results_.EndSearch(); }

void WindowSearchHost::SetStatus(std::string_view text) { face_.ShowStatus(text); }

bool WindowSearchHost::StopRequested() {
    if (stop_box_checked_) return true;
    if (dictionary_.CanStartWalk()) return false;
    WaitForTheUser();
    return stop_box_checked_;
}

// When no walk can start, no step of the search ever lets the user act, and the passes would
// spin a core while nothing can be found: wait here for the user instead.
void WindowSearchHost::WaitForTheUser() { face_.WaitForEvents(); }

std::string WindowSearchHost::GetResultsText() { return results_.ResultsText(); }

void WindowSearchHost::SetResultsText(std::string text) { results_.SetResultsText(text); }

void WindowSearchHost::AppendToResults(std::string_view word) { results_.AppendWord(word); }

void WindowSearchHost::AppendWords(WordsFound& words) {
    results_.AppendWords(words.spaced, words.taken);
}

void WindowSearchHost::ProcessPendingEvents() {
    if (++steps_since_clock_ < kStepsPerClockRead) return;
    PumpWhenDue();
}

QuietCalls WindowSearchHost::QuietCallsAhead() {
    QuietCalls quiet;
    quiet.pumps = static_cast<std::uint64_t>(kStepsPerClockRead - 1 - steps_since_clock_);
    if (!stop_box_checked_ && dictionary_.CanStartWalk()) quiet.stop_questions = UINT64_MAX;
    quiet.append_bytes = results_.PlainAppendRoom();
    return quiet;
}

void WindowSearchHost::CountQuietCalls(QuietCalls left_out) {
    steps_since_clock_ += static_cast<int>(left_out.pumps);
}

void WindowSearchHost::PumpWhenDue() {
    steps_since_clock_ = 0;
    const auto now = pump_clock();
    if (now - last_pump_ < kPumpInterval) return;
    last_pump_ = now;
    face_.ProcessPendingEvents();
}

}  // namespace bukvotok
