// The search on a fake host: the recorded words, statuses and pumps, compared with the search
// as described in words (the model), including everything a host may do inside a pump.
#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "Cp1251.h"
#include "DrawnLetters.h"
#include "Errors.h"
#include "FailingAllocations.h"
#include "FakeSearchHost.h"
#include "LetterGenerator.h"
#include "LinearDictionary.h"
#include "MatchSearch.h"
#include "ModelSearch.h"
#include "RandomWordList.h"
#include "StatusTexts.h"

namespace bukvotok {
namespace {

const std::string kSearching = kSearchingStatus.String();
const std::string kStopped = kStoppedStatus.String();

DictionaryList Dictionary(std::string_view utf8_lines) {
    DictionaryList dictionary;
    dictionary.LoadDictionaryText(Utf8ToCp1251(utf8_lines));
    return dictionary;
}

// The fast search and the model, each from state 0 on a host stopping after `passes`.
struct Outcome {
    std::string results;
    std::vector<std::string> statuses;
    std::uint64_t pumps;
    std::uint32_t final_state;

    bool operator==(const Outcome&) const = default;
};

// With quiet_calls the search chains passes through its tables and counts the calls it leaves
// out; without, it makes every call and walks every pass step by step.
Outcome RunFast(const DictionaryList& dictionary, std::uint64_t passes, bool quiet_calls = true) {
    SetRandomState(0);
    FakeSearchHost host(passes);
    host.quiet_calls = quiet_calls;
    RunSearch(host, dictionary);
    return {host.results, host.statuses, host.pumps, RandomState()};
}

// The same entries for the plain scan, split by the store but never looked up in its index.
LinearDictionary Linear(const DictionaryList& dictionary) {
    std::vector<std::string> entries;
    for (std::int32_t i = 0; i < dictionary.Count(); ++i)
        entries.emplace_back(dictionary.EntryAt(i));
    return LinearDictionary(std::move(entries));
}

// The model on the plain scan, which shares no code with the index and the letter table.
Outcome RunModel(const LinearDictionary& dictionary, std::uint64_t passes) {
    SetRandomState(0);
    FakeSearchHost host(passes);
    ModelSearch<LinearDictionary>(host, dictionary).Run();
    return {host.results, host.statuses, host.pumps, RandomState()};
}

TEST(MatchSearch, SingleLetterDictionaryRecordsItInTheFirstPass) {
    const DictionaryList dictionary = Dictionary("а");
    const Outcome outcome = RunFast(dictionary, 1);
    EXPECT_EQ(outcome.results, Utf8ToCp1251(" а"));
    EXPECT_EQ(outcome.statuses, (std::vector<std::string>{kSearching, kStopped}));
    EXPECT_EQ(outcome.pumps, 2u);  // once before the passes, once for the walk's one step
    // Ten passes: the walk draws а twice, the other eight passes draw ъ ж и ф й е л н.
    EXPECT_EQ(RunFast(dictionary, 9).results, Utf8ToCp1251(" а"));
}

TEST(MatchSearch, WordsBehindALongerEarlierEntryOrWithCapitalsAreNeverRecorded) {
    struct Case {
        const char* dictionary;
        const char* never;
    };
    for (const Case c : {Case{"котёл\r\nкот", "кот"}, Case{"Кот", "кот"}}) {
        const Outcome outcome = RunFast(Dictionary(c.dictionary), 20000);
        EXPECT_EQ(outcome.results.find(Utf8ToCp1251(c.never)), std::string::npos);
        EXPECT_GT(outcome.pumps, 1u) << "walks pass through the capitals";
        EXPECT_FALSE(Dictionary(c.dictionary).CanRecordWord()) << c.dictionary;
    }
    // In the other order кот is found; ё is never drawn, so котёл is not.
    EXPECT_TRUE(Dictionary("я\r\nкот\r\nКОТ\r\nкотёл").CanRecordWord());
    const std::string found = RunFast(Dictionary("кот\r\nкотёл"), 20000).results;
    EXPECT_NE(found.find(Utf8ToCp1251(" кот")), std::string::npos);
    EXPECT_EQ(found.find(Utf8ToCp1251("котё")), std::string::npos);
}

TEST(MatchSearch, StopBoxAlreadyTickedRunsExactlyOnePass) {
    const DictionaryList dictionary = Dictionary("а\r\nб");
    FakeSearchHost host(1000);
    host.stop_box = true;
    RunSearch(host, dictionary);
    EXPECT_EQ(host.passes, 1u);
    EXPECT_EQ(host.statuses.back(), kStopped);
}

TEST(MatchSearch, MatchesTheModelOnRandomDictionaries) {
    std::mt19937 random(7);
    for (int round = 0; round < 64; ++round) {
        // Few letters, so that walks run deep and end on entries often; every small letter in
        // two rounds, ю and я included.
        const std::string alphabet = RandomAlphabet(
            random, static_cast<unsigned char>(224 + round % 32), 2 + random() % 5, random() % 4);
        const std::vector<std::string> entries =
            RandomEntries(random, alphabet, random() % 300, 1 + random() % 7);
        DictionaryList dictionary;
        dictionary.LoadDictionaryText(JoinedLines(entries));
        const Outcome fast = RunFast(dictionary, 3000);
        ASSERT_EQ(fast, RunModel(LinearDictionary(entries), 3000)) << "round " << round;
        ASSERT_EQ(RunFast(dictionary, 3000, false), fast) << "round " << round;
        if (!dictionary.CanRecordWord()) {
            EXPECT_EQ(fast.results, "") << "round " << round;
        }
    }
}

// Whether some walk of the model ends on a word it records, by trying every walk: each string
// a walk can reach, and each drawn letter that ends it there.
bool SomeWalkRecords(const LinearDictionary& model, const std::string& word = "") {
    for (int letter = FirstLetterCode; letter < FirstLetterCode + LetterCount; ++letter) {
        const std::string longer = word + static_cast<char>(letter);
        if (model.FindPrefix(longer) != -1) {
            if (SomeWalkRecords(model, longer)) return true;
        } else if (!word.empty() && model.EntryAt(model.FindPrefix(word)) == word) {
            return true;
        }
    }
    return false;
}

// Stops at the first word recorded, or after its passes.
class FirstWordHost : public FakeSearchHost {
public:
    using FakeSearchHost::FakeSearchHost;
    bool StopRequested() override { return FakeSearchHost::StopRequested() || !results.empty(); }
};

TEST(MatchSearch, CanRecordWordSaysWhetherALongRunRecordsAWord) {
    // Lists of a stem and its continuations by every drawn letter, most of them leading on to
    // capitals, я or ё, where no walk can end, and a few short entries around them.
    std::mt19937 random(15);
    const std::vector<std::string> pieces = {"\xE0", "\xE1", "\xFE", "\xC0", "\xFF", "\xB8"};
    int recordable = 0;
    for (int round = 0; round < 300; ++round) {
        std::vector<std::string> entries;
        for (std::size_t n = random() % 4; n > 0; --n) {
            entries.emplace_back();
            for (std::size_t k = 1 + random() % 2; k > 0; --k) {
                entries.back() += pieces[random() % pieces.size()];
            }
        }
        const std::string stem(1, static_cast<char>(FirstLetterCode + random() % LetterCount));
        const bool tails_everywhere = random() % 2 == 0;
        for (int letter = FirstLetterCode; letter < FirstLetterCode + LetterCount; ++letter) {
            const bool tail = tails_everywhere || random() % 8 != 0;
            entries.push_back(stem + static_cast<char>(letter) +
                              (tail ? pieces[3 + random() % 3] : std::string()));
        }
        if (random() % 2 == 0) entries.insert(entries.begin() + random() % 4, stem);
        std::string text;
        for (const std::string& entry : entries) text += entry + "\r\n";
        DictionaryList dictionary;
        dictionary.LoadDictionaryText(text);
        const LinearDictionary model(entries);

        ASSERT_EQ(dictionary.CanRecordWord(), SomeWalkRecords(model)) << "round " << round;
        if (dictionary.CanRecordWord()) {
            ++recordable;
            // Every recordable word here is at most two letters long: about one pass in 30,000
            // records it.
            SetRandomState(static_cast<std::uint32_t>(round));
            FirstWordHost host(2'000'000);
            ModelSearch<LinearDictionary>(host, model).Run();
            EXPECT_NE(host.results, "") << "round " << round;
        }
    }
    EXPECT_GT(recordable, 50);
    EXPECT_LT(recordable, 250);
}

TEST(MatchSearch, MatchesTheModelOnCommonWords) {
    const DictionaryList dictionary = Dictionary(
        "кот\r\nкит\r\nум\r\nа\r\nи\r\nон\r\nона\r\nдом\r\nдома\r\nдым\r\nмир\r\n"
        "мира\r\nмы\r\nвы\r\nты\r\nя\r\nкотик\r\nкто\r\nгде\r\nэто\r\n");
    const Outcome fast = RunFast(dictionary, 100000);
    EXPECT_EQ(fast, RunModel(Linear(dictionary), 100000));
    EXPECT_EQ(fast.results.find(Utf8ToCp1251(" я")), std::string::npos);  // я is never drawn
    EXPECT_EQ(fast.results.substr(0, 3), Utf8ToCp1251(" а "));

    // Three letters that every drawn letter continues, each by a fifth letter of its own into
    // a word: the first pass walks one of them to its end.
    const std::string drawn = LettersDrawnFromStart(6);
    std::string fives;
    for (int letter = FirstLetterCode; letter < FirstLetterCode + LetterCount; ++letter) {
        const char fifth = letter == static_cast<unsigned char>(drawn[3]) ? drawn[4] : drawn[4] ^ 1;
        fives += drawn.substr(0, 3) + static_cast<char>(letter) + fifth + "\r\n";
    }
    DictionaryList prefix_of_all;
    prefix_of_all.LoadDictionaryText(fives);
    const Outcome walked = RunFast(prefix_of_all, 100);
    EXPECT_EQ(walked, RunModel(Linear(prefix_of_all), 100));
    EXPECT_EQ(walked.results.substr(0, 6), " " + drawn.substr(0, 5));
}

TEST(MatchSearch, AnEntryMillionsOfLettersLongIsWalkedWithoutRecursion) {
    // The first walk follows the entry to its end and records it.
    constexpr std::size_t kLength = 5'000'000;
    const std::string entry = LettersDrawnFromStart(kLength);
    DictionaryList dictionary;
    dictionary.LoadDictionaryText(entry);
    const Outcome outcome = RunFast(dictionary, 1);
    EXPECT_EQ(outcome.pumps, kLength + 1);
    EXPECT_EQ(outcome.results, " " + entry);
    // Chained with the calls left out, it runs past the letters drawn ahead as walked alone.
    EXPECT_EQ(RunFast(dictionary, 2), RunFast(dictionary, 2, false));
}

// A host that appends without reading back must get the same text.
TEST(MatchSearch, HostsMayAppendWithoutRewritingTheText) {
    const DictionaryList dictionary = Dictionary("кот\r\nум\r\nа\r\nон");
    SetRandomState(0);
    AppendingSearchHost host(5000);
    host.results = "typed\r\ntext";
    RunSearch(host, dictionary);
    EXPECT_GT(host.appends, 0);
    EXPECT_EQ(host.results, "typed\r\ntext" + RunFast(dictionary, 5000).results);
}

// Re-entry: the same scenario on the fast search over the store and on the model over the plain
// scan must give the same texts, pumps, draws and errors.  A scenario acts inside pumps through
// a Session, which loads a list and starts an inner search of the kind under test.
struct Session {
    FakeSearchHost& host;
    std::function<void(const std::string&)> load;
    std::function<void()> search;
};
using Plan = std::function<void(Session&)>;

Outcome RunFastWithActions(const std::string& first_text, std::uint64_t passes, const Plan& plan,
                           std::string& error, bool quiet_calls) {
    SetRandomState(0);
    DictionaryList dictionary;
    dictionary.LoadDictionaryText(first_text);
    FakeSearchHost host(passes);
    host.quiet_calls = quiet_calls;
    host.append_room = 25;  // a few words held, then one by one until the next call
    Session session{host, [&](const std::string& text) { dictionary.LoadDictionaryText(text); },
                    [&] { RunSearch(host, dictionary); }};
    plan(session);
    try {
        RunSearch(host, dictionary);
    } catch (const Error& e) {
        error = e.what();
    }
    EXPECT_FALSE(host.words_past_the_room);
    return {host.results, host.statuses, host.pumps, RandomState()};
}

Outcome RunModelWithActions(const std::string& first_text, std::uint64_t passes, const Plan& plan,
                            std::string& error) {
    SetRandomState(0);
    DictionaryList store;  // only to split the lists
    store.LoadDictionaryText(first_text);
    LinearDictionary dictionary = Linear(store);
    FakeSearchHost host(passes);
    Session session{host,
                    [&](const std::string& text) {
                        store.LoadDictionaryText(text);
                        dictionary = Linear(store);
                    },
                    [&] { ModelSearch<LinearDictionary>(host, dictionary).Run(); }};
    plan(session);
    try {
        ModelSearch<LinearDictionary>(host, dictionary).Run();
    } catch (const Error& e) {
        error = e.what();
    }
    return {host.results, host.statuses, host.pumps, RandomState()};
}

class ReentryTest : public ::testing::Test {
protected:
    void ExpectSameAsModel(const std::string& dictionary, std::uint64_t passes, const Plan& plan,
                           std::string expected_error = "") {
        std::string model_error;
        const Outcome model = RunModelWithActions(dictionary, passes, plan, model_error);
        EXPECT_EQ(model_error, expected_error);
        for (const bool quiet_calls : {false, true}) {
            std::string fast_error;
            const Outcome fast =
                RunFastWithActions(dictionary, passes, plan, fast_error, quiet_calls);
            EXPECT_EQ(fast, model) << "quiet calls " << quiet_calls;
            EXPECT_EQ(fast_error, model_error) << "quiet calls " << quiet_calls;
        }
        last_ = model;
    }
    Outcome last_;
};

const std::string kWords = Utf8ToCp1251("кот\r\nкит\r\nум\r\nа\r\nон\r\nдом\r\nмир\r\nмы");

TEST_F(ReentryTest, ClearingTheResultsMidSearch) {
    ExpectSameAsModel(kWords, 3000,
                      [](Session& s) { s.host.AtPump(400, [&s] { s.host.results.clear(); }); });
    ASSERT_FALSE(last_.results.empty());
    EXPECT_EQ(last_.results[0], ' ');
}

TEST_F(ReentryTest, LoadingADictionaryWhereTheWordGoesOn) {
    // Every list holds the first one, so walks go on wherever they are; the others add entries
    // that begin with я, never drawn, which moves the index's nodes, and котя before кот, which
    // makes кот no longer a match.
    const std::vector<std::string> lists = {Utf8ToCp1251("я\r\nкотя\r\n") + kWords,
                                            Utf8ToCp1251("яблоко\r\nяма\r\nявь\r\n") + kWords,
                                            kWords};
    ExpectSameAsModel(kWords, 3000, [&lists](Session& s) {
        std::size_t next = 0;
        for (std::uint64_t pump = 3; pump < 1000; pump += 4) {
            const std::string& list = lists[next++ % lists.size()];
            s.host.AtPump(pump, [&s, &list] { s.load(list); });
        }
    });
}

TEST_F(ReentryTest, LoadingADictionaryBetweenPasses) {
    // Between two passes, as the host is asked to stop: the passes after it end elsewhere.
    const std::vector<std::string> lists = {Utf8ToCp1251("дом\r\nдым\r\nдуб\r\nум\r\nа\r\nяд"),
                                            Utf8ToCp1251("котя\r\n") + kWords, kWords};
    ExpectSameAsModel(kWords, 3000, [&lists](Session& s) {
        for (std::uint64_t question = 5; question < 3000; question += 400) {
            const std::string& list =
                lists[static_cast<std::size_t>(question / 400 % lists.size())];
            s.host.AtQuestion(question, [&s, &list] { s.load(list); });
        }
    });
}

TEST_F(ReentryTest, LoadingADictionaryAtEveryStepOfADeepWalk) {
    // The first pass walks the letters drawn from the start to the end of the first entry,
    // through the letter table and on into the index's trie; a list loaded at each of its steps
    // moves the table's codes and the trie's nodes under it (я is never drawn, аааа takes the
    // first block of four letters) and changes where it stops.
    const std::string drawn = LettersDrawnFromStart(10);
    const std::string words = drawn + "\r\n" + kWords;
    const std::vector<std::string> lists = {
        "\xFF\r\n\xFF\xE0\r\n" + words, drawn.substr(0, 6) + "\r\n" + words,
        drawn.substr(0, 3) + "\xFF\r\n\xE0\xE0\xE0\xE0\r\n" + words};
    ExpectSameAsModel(words, 100, [&lists](Session& s) {
        for (std::uint64_t pump = 2; pump <= 12; ++pump) {
            const std::string& list = lists[static_cast<std::size_t>(pump % lists.size())];
            s.host.AtPump(pump, [&s, &list] { s.load(list); });
        }
    });
    // A list without the word, at the first letters, the fourth and past them; and one with
    // its first three letters but not the fourth.
    const std::string three = drawn.substr(0, 3) + "\r\n" + kWords;
    for (const auto& [pump, list] :
         {std::pair{3u, kWords}, {5u, kWords}, {7u, kWords}, {5u, three}}) {
        ExpectSameAsModel(
            words, 100,
            [pump, &list](Session& s) { s.host.AtPump(pump, [&s, &list] { s.load(list); }); },
            "List index out of bounds (-1)");
    }
}

TEST_F(ReentryTest, LoadingADictionaryWithoutTheWordEndsTheSearchWithIndexError) {
    ExpectSameAsModel(
        kWords, 3000,
        [](Session& s) {
            s.host.AtPump(3, [&s] { s.load(Utf8ToCp1251("бык\r\nвол\r\nгусь\r\nежи\r\nзал")); });
        },
        "List index out of bounds (-1)");
    EXPECT_EQ(last_.statuses, std::vector<std::string>{kSearching}) << "no stopped status";
}

TEST_F(ReentryTest, SecondSearchInsideTheFirst) {
    ExpectSameAsModel(kWords, 1u << 30, [](Session& s) {
        s.host.AtPump(5, [&s] {
            // The inner search runs until the stop box is ticked, then the outer one ends too.
            s.host.AtPump(900, [&s] { s.host.stop_box = true; });
            s.search();
        });
    });
    EXPECT_EQ(last_.statuses,
              (std::vector<std::string>{kSearching, kSearching, kStopped, kStopped}));
}

TEST_F(ReentryTest, InnerSearchEndingInErrorLeavesTheOuterRunning) {
    ExpectSameAsModel(kWords, 1u << 30, [](Session& s) {
        s.host.AtPump(5, [&s] {
            s.host.AtPump(50, [&s] { s.load("zzz"); });
            s.host.AtPump(2000, [&s] { s.host.stop_box = true; });
            try {
                s.search();
            } catch (const ListIndexError&) {
                s.host.results += "|inner error|";
            }
            // Back to the first list, where the outer walk's word still begins an entry.
            s.load(kWords);
        });
    });
}

// A host whose k-th word fails to go in, as when memory runs out, or that lets the search's own
// n-th allocation fail once it runs; it notes the pumps it was told of as each word arrives.
class FailingWordHost : public FakeSearchHost {
public:
    using FakeSearchHost::FakeSearchHost;
    void SetResultsText(std::string text) override {
        if (++words == failing_word) throw std::bad_alloc();
        pumps_at_words.push_back(pumps);
        FakeSearchHost::SetResultsText(std::move(text));
    }
    QuietCalls QuietCallsAhead() override {
        if (failing_allocation >= 0)
            check::FailAllocationAfter(std::exchange(failing_allocation, -1));
        return FakeSearchHost::QuietCallsAhead();
    }
    std::uint64_t words = 0;
    std::uint64_t failing_word = 0;
    long failing_allocation = -1;
    std::vector<std::uint64_t> pumps_at_words;
};

struct Failed {
    std::string results;
    std::uint32_t state;
    std::vector<std::uint64_t> pumps_at_words;
};

Failed RunFailing(const std::function<void(FailingWordHost&)>& run, std::uint64_t failing_word,
                  long failing_allocation = -1) {
    SetRandomState(0);
    FailingWordHost host(3000);
    host.failing_word = failing_word;
    host.failing_allocation = failing_allocation;
    try {
        run(host);
    } catch (const std::bad_alloc&) {
    }
    check::FailAllocationAfter(-1);
    return {host.results, RandomState(), host.pumps_at_words};
}

// Words handed over together that fail part way leave the words before the failing one and the
// generator after its pass, as one-by-one appends do; and the host hears of no call made after
// a word before it has the word.
TEST(MatchSearch, WordsHandedOverTogetherFailingPartWayLeaveWhatOneByOneWould) {
    DictionaryList dictionary;
    dictionary.LoadDictionaryText(kWords);
    const LinearDictionary model = Linear(dictionary);
    const auto one_by_one = [&model](FailingWordHost& host) {
        ModelSearch<LinearDictionary>(host, model).Run();
    };
    const auto together = [&dictionary](std::uint64_t room) {
        return [&dictionary, room](FailingWordHost& host) {
            host.quiet_calls = true;
            host.append_room = room;
            RunSearch(host, dictionary);
        };
    };
    for (std::uint64_t word = 1; word <= 40; ++word) {
        const Failed expected = RunFailing(one_by_one, word);
        for (const std::uint64_t room : {std::uint64_t{25}, UINT64_MAX}) {
            const Failed failed = RunFailing(together(room), word);
            EXPECT_EQ(failed.results, expected.results) << word << " " << room;
            EXPECT_EQ(failed.state, expected.state) << word << " " << room;
            ASSERT_EQ(failed.pumps_at_words.size(), expected.pumps_at_words.size());
            for (std::size_t i = 0; i < failed.pumps_at_words.size(); ++i) {
                EXPECT_LE(failed.pumps_at_words[i], expected.pumps_at_words[i]) << word;
            }
        }
    }
    // Memory that runs out in the search as it holds a word: the words held before it go in.
    for (long allocation = 0; allocation < 12; ++allocation) {
        const Failed failed = RunFailing(together(UINT64_MAX), 0, allocation);
        const Failed expected = RunFailing(one_by_one, failed.pumps_at_words.size() + 1);
        EXPECT_EQ(failed.results, expected.results) << allocation;
        EXPECT_EQ(failed.state, expected.state) << allocation;
    }
}

}  // namespace
}  // namespace bukvotok
