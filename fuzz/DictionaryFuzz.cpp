// Arbitrary bytes as a dictionary file, checked against plain models: the UTF-8 conversion
// against the plain decoder, the line rules against a literal splitter, the indexed prefix lookup
// against a linear scan on probes made from the entries, and bounded searches against the
// literal recursive search: a plain one, and one where, at pumps and stop questions picked from
// the input, other lists made from its entries are loaded, the stop box is ticked, the results
// are cleared or a second search runs inside the first; each with the host counting every call
// and with the host leaving its counting calls to the search and letting its words wait.
//
//   cmake --preset fuzz && cmake --build --preset fuzz
//   build/fuzz/fuzz/dictionary_fuzz -max_total_time=1800 fuzz/corpus/dictionary
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "Cp1251.h"
#include "DictionaryList.h"
#include "Errors.h"
#include "FakeSearchHost.h"
#include "FoldCase.h"
#include "LetterGenerator.h"
#include "LinearDictionary.h"
#include "MatchSearch.h"
#include "ModelSearch.h"
#include "Utf8WordList.h"

namespace bukvotok {
namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

// The line rules read literally: a line ends at CR, LF or NUL; CR then LF are skipped once
// each; a NUL ends the text; a final line end adds nothing.
std::vector<std::string> ModelSplit(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < text.size() && text[at] != '\0') {
        std::string line;
        while (at < text.size() && text[at] != '\r' && text[at] != '\n' && text[at] != '\0') {
            line += text[at++];
        }
        lines.push_back(line);
        if (at < text.size() && text[at] == '\r') ++at;
        if (at < text.size() && text[at] == '\n') ++at;
    }
    return lines;
}

struct Outcome {
    std::string results;
    std::vector<std::string> statuses;
    std::uint64_t pumps;
    std::uint64_t passes;
    std::uint32_t state;
    std::string error;
    bool operator==(const Outcome&) const = default;
};

// What happens inside a search, and when: a call's number and whether it is a pump or a stop
// question.
struct Event {
    enum Kind { kLoad, kTick, kClear, kInnerSearch } kind;
    bool at_question;
    std::uint64_t call;
    std::size_t list;  // for kLoad
};

struct Scenario {
    std::uint64_t passes;
    std::uint64_t append_room;  // bytes of words the host lets wait
    std::vector<Event> events;
    std::vector<std::string> lists;  // texts to load
};

// Lists that keep the walks going where they are (the same entries in another order) and
// lists that may leave a walk's word without an entry (every other entry, none).
Scenario MakeScenario(const std::vector<std::string>& entries, std::uint64_t seed) {
    std::mt19937_64 random(seed);
    Scenario scenario;
    scenario.passes = 1 + random() % 400;
    scenario.append_room = random() % 2 ? UINT64_MAX : random() % 40;
    const auto joined = [](const std::vector<std::string>& lines) {
        std::string text;
        for (const std::string& line : lines) (text += line) += "\r\n";
        return text;
    };
    std::vector<std::string> reversed(entries.rbegin(), entries.rend());
    std::vector<std::string> halved;
    for (std::size_t i = 0; i < entries.size(); i += 2) halved.push_back(entries[i]);
    scenario.lists = {joined(reversed), joined(halved), "", joined(entries)};
    for (std::size_t n = random() % 6; n > 0; --n) {
        Event event{};
        event.kind = static_cast<Event::Kind>(random() % 4);
        event.at_question = random() % 3 == 0;
        event.call = 1 + random() % (event.at_question ? scenario.passes : 4 * scenario.passes);
        event.list = random() % scenario.lists.size();
        scenario.events.push_back(event);
    }
    return scenario;
}

// The scenario on a search of one kind: `load` replaces its list, `search` runs a search on it.
Outcome Played(const Scenario& scenario, bool quiet_calls,
               const std::function<void(const std::string&)>& load,
               const std::function<void(FakeSearchHost&)>& search) {
    SetRandomState(0);
    FakeSearchHost host(scenario.passes);
    host.quiet_calls = quiet_calls;
    host.append_room = scenario.append_room;
    for (const Event& event : scenario.events) {
        std::function<void()> action = [&host, &scenario, &load, &search, event] {
            switch (event.kind) {
                case Event::kLoad:
                    load(scenario.lists[event.list]);
                    break;
                case Event::kTick:
                    host.stop_box = true;
                    break;
                case Event::kClear:
                    host.results.clear();
                    break;
                case Event::kInnerSearch:
                    try {
                        search(host);
                    } catch (const Error& error) {
                        host.results += std::string("|") + error.what() + "|";
                    }
                    host.stop_box = false;
                    break;
            }
        };
        if (event.at_question) {
            host.AtQuestion(event.call, std::move(action));
        } else {
            host.AtPump(event.call, std::move(action));
        }
    }
    Outcome outcome;
    try {
        search(host);
    } catch (const Error& error) {
        outcome.error = error.what();
    }
    outcome.results = host.results;
    outcome.statuses = host.statuses;
    outcome.pumps = host.pumps;
    outcome.passes = host.passes;
    outcome.state = RandomState();
    Check(!host.words_past_the_room);
    return outcome;
}

}  // namespace
}  // namespace bukvotok

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace bukvotok;
    const std::string text(reinterpret_cast<const char*>(data), size);

    // Converted in place, a UTF-8 list reads as the plain decoder reads it, without its byte-order
    // mark and anything from the first NUL; any other text stays exactly as it was.
    std::string converted = text;
    ConvertUtf8WordList(converted);
    if (IsUtf8WordList(text)) {
        std::string_view utf8 = std::string_view(text).substr(0, text.find('\0'));
        if (utf8.starts_with("\xEF\xBB\xBF")) utf8.remove_prefix(3);
        Check(converted == Utf8ToCp1251(utf8));
    } else {
        Check(converted == text);
    }

    DictionaryList dictionary;
    // A small capacity now and then, so that the refused entry's path is fuzzed too.
    const std::size_t limit =
        size > 0 && data[0] % 8 == 0 ? data[0] / 8 : DictionaryList::kMaxEntries;
    dictionary.SetCapacityLimit(limit);
    std::vector<std::string> expected = ModelSplit(text);
    bool refused = false;
    try {
        dictionary.LoadDictionaryText(text);
    } catch (const ListInsertError&) {
        refused = true;
    }
    Check(refused == (expected.size() > limit));
    if (refused) expected.resize(limit);

    std::vector<std::string> entries;
    for (std::int32_t i = 0; i < dictionary.Count(); ++i)
        entries.emplace_back(dictionary.EntryAt(i));
    Check(entries == expected);
    const LinearDictionary model(entries);

    // Probes: every prefix of every entry, some with their case flipped, and one byte more.
    std::size_t flip = 0;
    for (const std::string& entry : entries) {
        for (std::size_t length = 0; length <= entry.size() && length < 64; ++length) {
            std::string probe = entry.substr(0, length);
            if (++flip % 3 == 0) {
                for (char& c : probe) c = static_cast<char>(c ^ 0x20);
            }
            Check(dictionary.FindPrefix(probe) == model.FindPrefix(probe));
            probe += static_cast<char>(flip * 37);
            Check(dictionary.FindPrefix(probe) == model.FindPrefix(probe));
        }
    }
    for (int letter = FirstLetterCode; letter < FirstLetterCode + LetterCount; ++letter) {
        const std::string probe(1, static_cast<char>(letter));
        Check((dictionary.FindPrefix(probe) != -1) == (model.FindPrefix(probe) != -1));
    }

    // Bounded searches, where the literal recursion stays shallow enough.
    const std::vector<std::string> whole = ModelSplit(text);  // without the capacity limit
    std::size_t longest = 0;
    for (const std::string& entry : whole) longest = std::max(longest, entry.size());
    if (longest <= 2000) {
        std::uint64_t seed = 14695981039346656037u;
        for (std::size_t i = 0; i < size; ++i) seed = (seed ^ data[i]) * 1099511628211u;
        for (const bool with_events : {false, true}) {
            Scenario scenario = MakeScenario(whole, seed);
            if (!with_events) {
                scenario.passes = 300;
                scenario.events.clear();
            }
            LinearDictionary model_list(whole);
            const Outcome literal = Played(
                scenario, false,
                [&](const std::string& list) { model_list = LinearDictionary(ModelSplit(list)); },
                [&](FakeSearchHost& host) {
                    ModelSearch<LinearDictionary>(host, model_list).Run();
                });
            for (const bool quiet_calls : {false, true}) {
                DictionaryList store;
                store.LoadDictionaryText(text);
                Check(Played(
                          scenario, quiet_calls,
                          [&](const std::string& list) { store.LoadDictionaryText(list); },
                          [&](FakeSearchHost& host) { RunSearch(host, store); }) == literal);
            }
        }
    }
    return 0;
}
