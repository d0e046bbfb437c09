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
//
// How it goes fast: the letters are drawn ahead in batches (LettersAhead), and the passes
// through them are followed by their lengths from the first four letters (PassTable), looked
// up ahead of the chain of passes (PassChain), as long as the host says the calls they make
// would only be counted (SearchHost::QuietCallsAhead); the words found meanwhile are handed
// over together before the next call the host does not leave out.
// A pass the table leaves to the walk (it records a word or runs past four letters) is walked
// in the letter table and the index.  Every call that counts goes step by step as described
// above, reading the same letters.  Before anything outside the search can see or change the
// generator (a call of the host, an error) it is set to where the letters read have left it,
// and when a call drew from it, the letters ahead are drawn again from where it stands.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "DictionaryList.h"
#include "HeldWords.h"
#include "LettersAhead.h"
#include "PassChain.h"
#include "SearchHost.h"

namespace bukvotok {

void RunSearch(SearchHost& host, const DictionaryList& dictionary);

class MatchSearch {
public:
    MatchSearch(SearchHost& host, const DictionaryList& dictionary);

    void Run();

private:
    // The letters drawn ahead and the chain of passes through them.
    struct Ahead {
        LettersAhead letters;
        PassChain chain;
        std::uint64_t chain_batch = 0;  // the batch the chain was begun on
    };

    // A pass the table leaves to the walk: its length, 0 when it runs past the letters drawn,
    // and whether it records its word.
    struct PassWalked {
        std::uint32_t length = 0;
        bool records = false;
    };

    void Passes();

    // Every pass from the read position whose calls the host leaves out, through the chain;
    // a pass that records its word or goes on past four letters is walked in the letter table
    // and the index, its word appended.  Stops before a pass whose calls are to
    // be made, or that runs past the letters drawn; says whether the host asked to stop.
    bool PlainPasses();

    // The pass from position `at` of the batch, whose first four letters the table says go on:
    // walked in the letter table and the index.
    PassWalked WalkOn(std::size_t at) const;

    // One pass step by step, and the question after it; whether to stop.
    bool Pass();

    // One walk from a first letter that is known to begin some entry.  A loop, not a recursion:
    // an entry may be millions of letters long.
    void ExtendWord(unsigned char ch);

    // After a load that left no entry beginning with the word: the walk's next letter continues
    // nothing, and there is no first entry to compare the word with.
    void EndWithoutEntry();

    // word_ <- the string of one to three letters that `code` names.
    void Spell(LetterTable::Code code, std::uint32_t length);

    // The walk past the letter table, from a cursor at word_ + `letter`.
    void ExtendInTrie(PrefixIndex::Cursor cursor, unsigned char letter);

    // The host's calls.  Pump and StopAsked count a call the host leaves out, and make it
    // otherwise; Pump says whether a new list was loaded meanwhile.  AppendResult holds the
    // word while the host lets it wait.
    bool Pump();
    bool StopAsked();
    void AppendResult(std::string_view w);
    void SetStatus(std::string_view text);

    // Around every call made: the words held are handed over and the calls left out before it
    // counted first, and the generator set from the letters read; afterwards what the call may have
    // changed is taken up (the generator, the list, what the host can leave out next).  AfterCall
    // says whether a new list was loaded.
    void BeforeCall();
    bool AfterCall();
    void CountLeftOut();
    void HandOverHeld();

    // Whether a new list was loaded; if so, its tables become the ones read.
    bool FollowLoad();

    SearchHost& host_;
    const DictionaryList& dictionary_;
    std::uint64_t generation_;
    LetterTable::View letters_;
    PassTable::View passes_;
    std::unique_ptr<Ahead> ahead_;
    QuietCalls quiet_;     // what the host may be left out of now
    QuietCalls left_out_;  // left out since the last call made
    HeldWords held_;       // found since the last call made, not yet handed over
    bool in_call_ = false;
    std::string word_;
};

}  // namespace bukvotok
