// Speed of the search core on a real dictionary, between a floor and a ceiling measured in the
// same run: the search as described, scanning the list for every probe (floor); ours, the
// headless command's host writing the whole results text; and a plain 31-way trie that only
// walks and counts (ceiling).  Ours and the ceiling run on the list as made and on a shuffled
// copy, whose file order scatters the entries each prefix finds first.
//
//   scripts/make-dictionary && cmake --preset bench && cmake --build --preset bench
//   build/bench/bench/search_bench --benchmark_repetitions=3
//       --benchmark_enable_random_interleaving=true
//
// Interleaved repetitions share out the machine's other work; the summary at the end takes the
// best of each.
// BUKVOTOK_DICTIONARY names another dictionary file; BUKVOTOK_PASSES changes the 200,000,000
// passes of ours and the ceiling.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "BenchArguments.h"
#include "DictionaryList.h"
#include "DrawnLetters.h"
#include "Errors.h"
#include "HeadlessSearch.h"
#include "LetterGenerator.h"
#include "LinearDictionary.h"
#include "MatchSearch.h"
#include "ModelSearch.h"
#include "NaiveTrie.h"

namespace bukvotok {
namespace {

enum class Order { kAsMade, kShuffled };
const char* const kOrderNames[] = {"as made", "shuffled"};

std::string DictionaryPath() {
    const char* path = std::getenv("BUKVOTOK_DICTIONARY");
    return path ? path : BUKVOTOK_DEFAULT_DICTIONARY;
}

std::uint64_t Passes() {
    const char* passes = std::getenv("BUKVOTOK_PASSES");
    if (!passes) return 200'000'000;
    const std::optional<std::uint64_t> value = WholeNumber(passes);
    if (!value || *value == 0) {
        std::fprintf(stderr,
                     "search_bench: BUKVOTOK_PASSES=%s is not a whole number of 1 or more\n",
                     passes);
        std::exit(2);
    }
    return *value;
}

std::unique_ptr<DictionaryList> LoadShuffled(const DictionaryList& made) {
    std::vector<std::string_view> entries;
    for (std::int32_t i = 0; i < made.Count(); ++i) entries.push_back(made.EntryAt(i));
    std::mt19937_64 random(11);
    std::shuffle(entries.begin(), entries.end(), random);
    std::string text;
    for (const std::string_view entry : entries) (text += entry) += "\r\n";
    auto shuffled = std::make_unique<DictionaryList>();
    shuffled->LoadDictionaryText(std::move(text));
    return shuffled;
}

const DictionaryList* SharedDictionary(Order order = Order::kAsMade) {
    static const std::unique_ptr<DictionaryList> made = []() -> std::unique_ptr<DictionaryList> {
        auto loaded = std::make_unique<DictionaryList>();
        try {
            loaded->LoadDictionary(DictionaryPath());
        } catch (const Error&) {
            return nullptr;
        }
        return loaded;
    }();
    if (order == Order::kAsMade || !made) return made.get();
    static const std::unique_ptr<DictionaryList> shuffled = LoadShuffled(*made);
    return shuffled.get();
}

bool Loaded(benchmark::State& state) {
    if (SharedDictionary()) return true;
    state.SkipWithError(("no dictionary at " + DictionaryPath() +
                         "; run scripts/make-dictionary or set BUKVOTOK_DICTIONARY")
                            .c_str());
    return false;
}

// The best letters/s of each measurement, for the summary after the run.
std::map<std::string, double>& BestRates() {
    static std::map<std::string, double> rates;
    return rates;
}

// The thread's CPU time: on a machine shared with builds, the time it was not running is no
// part of the search's speed.
double CpuSeconds() {
    timespec now{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Runs `walk` (which returns the letters it drew) from generator state 0 at every iteration.
template <typename Walk>
void MeasureLetters(benchmark::State& state, const std::string& name, Walk walk) {
    std::uint64_t letters = 0;
    double best = 0;
    for (auto _ : state) {
        SetRandomState(0);
        const double start = CpuSeconds();
        const std::uint64_t drawn = walk();
        const double took = CpuSeconds() - start;
        letters += drawn;
        best = std::max(best, static_cast<double>(drawn) / took);
    }
    state.counters["letters/s"] =
        benchmark::Counter(static_cast<double>(letters), benchmark::Counter::kIsRate);
    double& recorded = BestRates()[name];
    recorded = std::max(recorded, best);
}

void BM_LoadDictionary(benchmark::State& state) {
    if (!Loaded(state)) return;
    for (auto _ : state) {
        DictionaryList dictionary;
        dictionary.LoadDictionary(DictionaryPath());
        state.counters["entries"] = dictionary.Count();
        state.counters["MB held"] = static_cast<double>(dictionary.MemoryBytes()) / 1e6;
    }
}
BENCHMARK(BM_LoadDictionary)->Unit(benchmark::kMillisecond)->MinTime(3);

// The host of a search that nobody watches; it stops after a number of passes.
class CountingHost : public SearchHost {
public:
    explicit CountingHost(std::uint64_t passes) : passes_(passes) {}
    void SetStatus(std::string_view) override {}
    bool StopRequested() override { return ++passes_run_ >= passes_; }
    std::string GetResultsText() override { return {}; }
    void SetResultsText(std::string) override {}
    void ProcessPendingEvents() override { ++pumps_; }
    QuietCalls QuietCallsAhead() override {
        return QuietCalls{UINT64_MAX, passes_run_ + 1 < passes_ ? passes_ - passes_run_ - 1 : 0};
    }
    void CountQuietCalls(QuietCalls left_out) override {
        pumps_ += left_out.pumps;
        passes_run_ += left_out.stop_questions;
    }

    std::uint64_t Letters() const { return passes_run_ + pumps_ - 1; }

private:
    std::uint64_t passes_;
    std::uint64_t passes_run_ = 0;
    std::uint64_t pumps_ = 0;
};

// Floor: the search as described, on a list scanned from the top for every probe.
void BM_LinearFloor(benchmark::State& state) {
    if (!Loaded(state)) return;
    static const LinearDictionary linear = [] {
        const DictionaryList& dictionary = *SharedDictionary();
        std::vector<std::string> entries;
        for (std::int32_t i = 0; i < dictionary.Count(); ++i) {
            entries.emplace_back(dictionary.EntryAt(i));
        }
        return LinearDictionary(std::move(entries));
    }();
    MeasureLetters(state, "floor", [] {
        CountingHost host(200);
        ModelSearch<LinearDictionary>(host, linear).Run();
        return host.Letters();
    });
}
BENCHMARK(BM_LinearFloor)->Unit(benchmark::kMillisecond)->Iterations(3);

// Ours: the headless command's search and host, its results text written to /dev/null.
void BM_Search(benchmark::State& state, Order order) {
    if (!Loaded(state)) return;
    const DictionaryList& dictionary = *SharedDictionary(order);
    const int null_fd = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    std::uint64_t matches = 0;
    MeasureLetters(state, std::string("ours, ") + kOrderNames[static_cast<int>(order)], [&] {
        const SearchFigures figures = RunHeadlessSearch(dictionary, Passes(), null_fd);
        matches = figures.matches;
        return figures.letters;
    });
    ::close(null_fd);
    state.counters["matches"] = static_cast<double>(matches);
}
BENCHMARK_CAPTURE(BM_Search, as_made, Order::kAsMade)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Search, shuffled, Order::kShuffled)->Unit(benchmark::kMillisecond);

// Ceiling: the same passes on a plain 31-way trie, walking and counting only.
void BM_NaiveTrieCeiling(benchmark::State& state, Order order) {
    if (!Loaded(state)) return;
    const NaiveTrie trie(SharedDictionary(order)->Entries());
    state.counters["MB held"] = static_cast<double>(trie.MemoryBytes()) / 1e6;
    std::uint64_t matches = 0;
    MeasureLetters(state, std::string("ceiling, ") + kOrderNames[static_cast<int>(order)], [&] {
        const NaiveTrie::Walks walks = trie.Walk(Passes());
        matches = walks.matches;
        return walks.letters;
    });
    state.counters["matches"] = static_cast<double>(matches);
}
BENCHMARK_CAPTURE(BM_NaiveTrieCeiling, as_made, Order::kAsMade)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_NaiveTrieCeiling, shuffled, Order::kShuffled)->Unit(benchmark::kMillisecond);

// One walk along an entry of five million letters.
void BM_LongWalk(benchmark::State& state) {
    DictionaryList dictionary;
    dictionary.LoadDictionaryText(LettersDrawnFromStart(5'000'000));
    MeasureLetters(state, "long walk", [&] {
        CountingHost host(1);
        RunSearch(host, dictionary);
        return host.Letters();
    });
}
BENCHMARK(BM_LongWalk)->Unit(benchmark::kMillisecond);

void PrintSummary() {
    const auto& rates = BestRates();
    const auto rate = [&rates](const std::string& name) {
        const auto found = rates.find(name);
        return found == rates.end() ? 0.0 : found->second;
    };
    std::printf("\nletters per CPU second, best run of each:\n");
    std::printf("  floor (linear scan)   %14.0f\n", rate("floor"));
    for (const char* order : kOrderNames) {
        const double ours = rate(std::string("ours, ") + order);
        const double ceiling = rate(std::string("ceiling, ") + order);
        if (ours == 0 || ceiling == 0) continue;
        std::printf("  %-9s ours %14.0f  ceiling %14.0f  ours / ceiling %5.1f %%\n", order, ours,
                    ceiling, 100 * ours / ceiling);
    }
}

}  // namespace
}  // namespace bukvotok

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    bukvotok::Passes();  // a BUKVOTOK_PASSES it cannot read ends the run before any measuring
    benchmark::RunSpecifiedBenchmarks();
    bukvotok::PrintSummary();
    benchmark::Shutdown();
    return 0;
}
