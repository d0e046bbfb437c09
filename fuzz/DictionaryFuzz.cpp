// Arbitrary bytes as a dictionary file, checked against plain models: the UTF-8 conversion
// against the plain decoder, the line rules against a literal splitter, the indexed prefix lookup
// against a linear scan on probes made from the entries, and a bounded search against the
// literal recursive search.
//
//   cmake --preset fuzz && cmake --build --preset fuzz
//   build/fuzz/fuzz/dictionary_fuzz -max_total_time=1800 fuzz/corpus/dictionary
#include <cstddef>
#include <cstdint>
#include <cstdlib>
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
    std::uint64_t pumps;
    std::uint32_t state;
    std::string error;
    bool operator==(const Outcome&) const = default;
};

template <typename Search, typename Dictionary>
Outcome Searched(const Dictionary& dictionary, std::uint64_t passes) {
    SetRandomState(0);
    FakeSearchHost host(passes);
    Outcome outcome;
    try {
        Search(host, dictionary).Run();
    } catch (const Error& error) {
        outcome.error = error.what();
    }
    outcome.results = host.results;
    outcome.pumps = host.pumps;
    outcome.state = RandomState();
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

    // A bounded search, where the literal recursion stays shallow enough.
    std::size_t longest = 0;
    for (const std::string& entry : entries) longest = std::max(longest, entry.size());
    if (longest <= 2000) {
        Check(Searched<MatchSearch>(dictionary, 300) ==
              Searched<ModelSearch<LinearDictionary>>(model, 300));
    }
    return 0;
}
