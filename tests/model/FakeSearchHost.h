// A search host for tests: it records statuses, results and pumps, stops after a given number
// of passes, and can run a test's action inside a chosen pump, the way a click lands inside a
// running search.
#pragma once

#include <algorithm>
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
        Run(question_actions_, passes);
        return stop_box || passes >= passes_before_stop_;
    }

    std::string GetResultsText() override { return results; }
    void SetResultsText(std::string text) override { results = std::move(text); }

    void ProcessPendingEvents() override {
        ++pumps;
        Run(actions_, pumps);
    }

    // With quiet_calls, the pumps and the questions before the next action, and the questions
    // before the stop, are left to the search to count, and words of up to append_room bytes
    // may be handed over together.
    QuietCalls QuietCallsAhead() override {
        QuietCalls quiet;
        if (!quiet_calls) return quiet;
        quiet.append_bytes = append_room;
        room_left_ = append_room;
        quiet.pumps = CallsBeforeAction(actions_, pumps);
        if (!stop_box && passes + 1 < passes_before_stop_) {
            quiet.stop_questions = std::min(passes_before_stop_ - passes - 1,
                                            CallsBeforeAction(question_actions_, passes));
        }
        return quiet;
    }
    void AppendWords(WordsFound& words) override {
        // Words held past the room would go in out of turn, where the host meant to act.
        if (words.spaced.size() > room_left_) words_past_the_room = true;
        room_left_ -= std::min<std::uint64_t>(room_left_, words.spaced.size());
        SearchHost::AppendWords(words);
    }
    void CountQuietCalls(QuietCalls left_out) override {
        pumps += left_out.pumps;
        passes += left_out.stop_questions;
    }

    // Runs `action` inside the n-th pump (counting from 1).
    void AtPump(std::uint64_t n, std::function<void()> action) { actions_[n] = std::move(action); }
    // Runs `action` inside the n-th stop question, before it is answered.
    void AtQuestion(std::uint64_t n, std::function<void()> action) {
        question_actions_[n] = std::move(action);
    }

    void SetPassesBeforeStop(std::uint64_t passes_before_stop) {
        passes_before_stop_ = passes_before_stop;
    }

    std::vector<std::string> statuses;
    std::string results;
    std::uint64_t pumps = 0;
    std::uint64_t passes = 0;
    bool stop_box = false;
    bool quiet_calls = false;
    std::uint64_t append_room = UINT64_MAX;
    bool words_past_the_room = false;

private:
    using Actions = std::map<std::uint64_t, std::function<void()>>;

    static void Run(const Actions& actions, std::uint64_t call) {
        const auto action = actions.find(call);
        if (action != actions.end()) {
            const auto run = action->second;  // the action may add more
            run();
        }
    }
    static std::uint64_t CallsBeforeAction(const Actions& actions, std::uint64_t calls) {
        const auto action = actions.upper_bound(calls);
        return action == actions.end() ? UINT64_MAX : action->first - calls - 1;
    }

    std::uint64_t passes_before_stop_;
    std::uint64_t room_left_ = 0;
    Actions actions_;
    Actions question_actions_;
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
