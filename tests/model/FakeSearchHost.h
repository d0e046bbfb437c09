// A search host for tests: it records statuses, results and pumps, stops after a given number
// of passes, and can run a test's action inside a chosen pump, the way a click lands inside a
// running search.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "SearchHost.h"

namespace bukvotok {

class FakeSearchHost : public SearchHost {
public:
    explicit FakeSearchHost(std::uint64_t passes_before_stop = 1)
        : passes_before_stop_(passes_before_stop) {}

    void SetStatus(std::string_view text) override { statuses.emplace_back(text); }

    bool StopRequested() override {
        ++passes;
        return stop_box || passes >= passes_before_stop_;
    }

    std::string GetResultsText() override { return results; }
    void SetResultsText(std::string text) override { results = std::move(text); }

    void ProcessPendingEvents() override {
        ++pumps;
        const auto action = actions_.find(pumps);
        if (action != actions_.end()) {
            const auto run = action->second;  // the action may add more
            run();
        }
    }

    // With quiet_calls, the pumps before the next action and the questions before the stop
    // are left to the search to count.
    QuietCalls QuietCallsAhead() override {
        QuietCalls quiet;
        if (!quiet_calls) return quiet;
        const auto action = actions_.upper_bound(pumps);
        quiet.pumps = action == actions_.end() ? UINT64_MAX : action->first - pumps - 1;
        if (!stop_box && passes + 1 < passes_before_stop_) {
            quiet.stop_questions = passes_before_stop_ - passes - 1;
        }
        return quiet;
    }
    void CountQuietCalls(QuietCalls left_out) override {
        pumps += left_out.pumps;
        passes += left_out.stop_questions;
    }

    // Runs `action` inside the n-th pump (counting from 1).
    void AtPump(std::uint64_t n, std::function<void()> action) { actions_[n] = std::move(action); }

    void SetPassesBeforeStop(std::uint64_t passes_before_stop) {
        passes_before_stop_ = passes_before_stop;
    }

    std::vector<std::string> statuses;
    std::string results;
    std::uint64_t pumps = 0;
    std::uint64_t passes = 0;
    bool stop_box = false;
    bool quiet_calls = false;

private:
    std::uint64_t passes_before_stop_;
    std::map<std::uint64_t, std::function<void()>> actions_;
};

// The same host appending found words in place, as the window and the headless command do,
// instead of reading and rewriting the whole text: searches of millions of passes stay linear.
class AppendingSearchHost : public FakeSearchHost {
public:
    using FakeSearchHost::FakeSearchHost;
    void AppendToResults(std::string_view word) override {
        ++appends;
        results += ' ';
        results += word;
    }
    int appends = 0;
};

}  // namespace bukvotok
