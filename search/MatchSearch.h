// The search: random walks over the dictionary's prefixes, recording the words they end on.
//
// A pass starts from the empty word and draws a letter.  While the word plus the drawn letter
// is the beginning of some entry, the walk lets the user act (the host's ProcessPendingEvents),
// takes the letter and draws the next one.  When the drawn letter continues nothing, the walk
// ends: if the first entry beginning with the word is the word itself, byte for byte, the word
// is appended to the results after one space.  Passes repeat until the host asks to stop, which
// it is asked after every pass, so at least one pass always runs.
//
// The host's ProcessPendingEvents may run anything: clear the results, load another dictionary,
// or start a second search, which has its own word and letter but draws from the same
// generator.  After a new dictionary was loaded the walk goes on with the word it has; when no
// entry of the new list begins with it the search ends with "List index out of bounds (-1)".
#pragma once

#include <string>
#include <string_view>

#include "DictionaryList.h"
#include "SearchHost.h"

namespace bukvotok {

void RunSearch(SearchHost& host, const DictionaryList& dictionary);

class MatchSearch {
public:
    MatchSearch(SearchHost& host, const DictionaryList& dictionary)
        : host_(host), dictionary_(dictionary) {}

    void Run();

    void AppendResult(std::string_view w) { host_.AppendToResults(w); }

private:
    // What every walk reads, kept in registers from one pass to the next: the host, the list,
    // and its letter table with the load it belongs to.
    struct Walker {
        SearchHost& host;
        const DictionaryList& dictionary;
        std::uint64_t generation;
        LetterTable::View letters;

        // After anything that may have let a load in: whether one came, whose table is then
        // the one read.
        bool FollowedLoad() {
            if (dictionary.Generation() == generation) return false;
            generation = dictionary.Generation();
            letters = dictionary.Letters().Read();
            return true;
        }
    };

    // One walk from a first letter that is known to begin some entry.  A loop, not a recursion:
    // an entry may be millions of letters long.
    void ExtendWord(int ch, Walker& walker);

    // After a load that left no entry beginning with the word: the walk's next letter continues
    // nothing, and there is no first entry to compare the word with.
    void EndWithoutEntry();

    // word_ <- the string of one to three letters that `code` names.
    void Spell(LetterTable::Code code, std::uint32_t length);

    // The walk past the letter table, from a cursor at word_ + `letter`.
    void ExtendInTrie(PrefixIndex::Cursor cursor, int letter, std::uint64_t generation);

    SearchHost& host_;
    const DictionaryList& dictionary_;
    std::string word_;
};

}  // namespace bukvotok
