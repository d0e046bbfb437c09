// The search's host without a window: the results go to standard output as they are found,
// the stop box is a pass or match limit, a stop signal or a closed output, and the event pump
// only keeps the output and the progress line moving.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "CommandLine.h"
#include "ResultsOutput.h"
#include "SearchHost.h"
#include "StderrLine.h"

namespace bukvotok {

struct SearchFigures {
    std::uint64_t passes = 0;
    std::uint64_t letters = 0;
    std::uint64_t matches = 0;
    double seconds = 0;
};

class HeadlessHost : public SearchHost {
public:
    // With show_progress, a line of figures on `stderr_line` while the search runs.
    HeadlessHost(const HeadlessOptions& options, ResultsOutput& output, StderrLine& stderr_line,
                 bool show_progress);

    void SetStatus(std::string_view) override {}
    bool StopRequested() override;

    // The results only ever grow at the end here: nothing reads them back.
    std::string GetResultsText() override { return {}; }
    void SetResultsText(std::string text) override;
    void AppendToResults(std::string_view word) override;

    void ProcessPendingEvents() override {
        ++pumps_;
        if ((pumps_ & kTickMask) == 0) Tick();
    }

    // Between two ticks the pumps only count; so do the stop questions, until the pass limit,
    // a match limit reached or a stop signal.  A signal that arrives while the search counts
    // questions instead of asking is seen at the next question asked, at most kTickMask passes
    // (about a millisecond) later, as if it had come that much later.
    QuietCalls QuietCallsAhead() override;
    void CountQuietCalls(QuietCalls left_out) override;

    SearchFigures Figures() const;

private:
    static constexpr std::uint64_t kTickMask = (1u << 16) - 1;

    // Out of line and cold, so that StopRequested and ProcessPendingEvents, run at every pass
    // and every step, stay a handful of instructions.
    [[gnu::noinline, gnu::cold]] void Tick();
    // Notes a match limit reached or an output closed, for the next StopRequested.
    void NoteOutputEnds();

    const HeadlessOptions& options_;
    ResultsOutput& output_;
    StderrLine& stderr_line_;
    const bool show_progress_;
    // Asked after every pass, so the pass limit is kept ready to compare and whatever else can
    // end the search is gathered in one flag when it happens.
    const std::uint64_t pass_limit_;
    bool ended_ = false;
    std::uint64_t passes_ = 0;
    std::uint64_t pumps_ = 0;  // the first comes before any letter is drawn
    std::uint64_t matches_ = 0;
    std::string utf8_word_;
    std::chrono::steady_clock::time_point start_;
    std::chrono::steady_clock::time_point last_flush_;
    std::chrono::steady_clock::time_point last_progress_;
};

}  // namespace bukvotok
