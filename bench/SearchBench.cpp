// Speed of the search core on a real dictionary, against the plain linear scan.
//
//   scripts/make-dictionary && cmake --preset bench && cmake --build --preset bench
//   build/bench/bench/search_bench
//
// BUKVOTOK_DICTIONARY names another dictionary file.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "DictionaryList.h"
#include "DrawnLetters.h"
#include "Errors.h"
#include "LetterGenerator.h"
#include "LinearDictionary.h"
#include "MatchSearch.h"
#include "ModelSearch.h"

namespace bukvotok {
namespace {

std::string DictionaryPath() {
    const char* path = std::getenv("BUKVOTOK_DICTIONARY");
    return path ? path : BUKVOTOK_DEFAULT_DICTIONARY;
}

const DictionaryList* SharedDictionary() {
    static const DictionaryList* dictionary = [] {
        auto* loaded = new DictionaryList;
        try {
            loaded->LoadDictionary(DictionaryPath());
        } catch (const Error&) {
            delete loaded;
            return static_cast<DictionaryList*>(nullptr);
        }
        return loaded;
    }();
    return dictionary;
}

// The host of a search that nobody watches: it counts and stops after a number of passes.
class CountingHost : public SearchHost {
public:
    explicit CountingHost(std::uint64_t passes) : passes_(passes) {}
    void SetStatus(std::string_view) override {}
    bool StopRequested() override { return ++passes_run_ >= passes_; }
    std::string GetResultsText() override { return {}; }
    void SetResultsText(std::string) override {}
    void AppendToResults(std::string_view) override { ++matches; }
    void ProcessPendingEvents() override { ++pumps; }

    std::uint64_t Letters() const { return passes_run_ + pumps - 1; }

    std::uint64_t matches = 0;
    std::uint64_t pumps = 0;

private:
    std::uint64_t passes_;
    std::uint64_t passes_run_ = 0;
};

template <typename Search, typename Dictionary>
void RunPasses(benchmark::State& state, const Dictionary& dictionary, std::uint64_t passes) {
    std::uint64_t letters = 0;
    for (auto _ : state) {
        SetRandomState(0);
        CountingHost host(passes);
        Search(host, dictionary).Run();
        letters += host.Letters();
    }
    state.counters["letters/s"] =
        benchmark::Counter(static_cast<double>(letters), benchmark::Counter::kIsRate);
}

bool Loaded(benchmark::State& state) {
    if (SharedDictionary()) return true;
    state.SkipWithError(("no dictionary at " + DictionaryPath() +
                         "; run scripts/make-dictionary or set BUKVOTOK_DICTIONARY")
                            .c_str());
    return false;
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

void BM_Search(benchmark::State& state) {
    if (!Loaded(state)) return;
    RunPasses<MatchSearch>(state, *SharedDictionary(), 1'000'000);
}
BENCHMARK(BM_Search)->Unit(benchmark::kMillisecond);

// The search as described, on a list scanned from the top for every probe.
void BM_LinearBaseline(benchmark::State& state) {
    if (!Loaded(state)) return;
    static const LinearDictionary linear = [] {
        const DictionaryList& dictionary = *SharedDictionary();
        std::vector<std::string> entries;
        for (std::int32_t i = 0; i < dictionary.Count(); ++i) {
            entries.emplace_back(dictionary.EntryAt(i));
        }
        return LinearDictionary(std::move(entries));
    }();
    RunPasses<ModelSearch<LinearDictionary>>(state, linear, 200);
}
BENCHMARK(BM_LinearBaseline)->Unit(benchmark::kMillisecond)->Iterations(3);

// One walk along an entry of five million letters.
void BM_LongWalk(benchmark::State& state) {
    DictionaryList dictionary;
    dictionary.LoadDictionaryText(LettersDrawnFromStart(5'000'000));
    RunPasses<MatchSearch>(state, dictionary, 1);
}
BENCHMARK(BM_LongWalk)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace bukvotok

BENCHMARK_MAIN();
