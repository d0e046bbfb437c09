#include "MatchSearch.h"

#include "LetterGenerator.h"
#include "StatusTexts.h"

namespace bukvotok {

void RunSearch(SearchHost& host, const DictionaryList& dictionary) {
    MatchSearch(host, dictionary).Run();
}

void MatchSearch::Run() {
    host_.SetStatus(kSearchingStatus.View());
    host_.ProcessPendingEvents();
    Walker walker{host_, dictionary_, dictionary_.Generation(), dictionary_.Letters().Read()};
    do {
        // A host may let events in while it is asked to stop, a load among them.
        walker.FollowedLoad();
        const int letter = RandomLetter();
        const auto drawn = static_cast<unsigned char>(letter);
        if (walker.letters.Of(LetterTable::kRoot).Continues(drawn)) ExtendWord(letter, walker);
    } while (!walker.host.StopRequested());
    host_.SetStatus(kStoppedStatus.View());
}

// Inlined into the loop of passes, so that what the walk reads stays in registers from one
// pass to the next.
[[gnu::always_inline]] inline void MatchSearch::ExtendWord(int ch, Walker& walker) {
    // For its first letters the walk holds the word as a code of the letter table and spells it
    // out only when it is found or when the walk goes on into the index's trie.
    LetterTable::Code code =
        LetterTable::View::After(LetterTable::kRoot, static_cast<unsigned char>(ch));
    unsigned char drawn = 0;
#pragma GCC unroll 3  // kDepth - 1: each step's length is then a constant
    for (std::uint32_t length = 1; length < LetterTable::kDepth; ++length) {
        walker.host.ProcessPendingEvents();
        if (walker.FollowedLoad() && !walker.letters.Has(code)) EndWithoutEntry();
        drawn = static_cast<unsigned char>(RandomLetter());
        const LetterTable::Facts facts = walker.letters.Of(code);
        if (!facts.Continues(drawn)) {
            if (facts.IsExact()) {
                Spell(code, length);
                AppendResult(word_);
            }
            return;
        }
        if (length + 1 < LetterTable::kDepth) code = LetterTable::View::After(code, drawn);
    }

    // The fourth letter: the word is the three letters of `code` and `fourth`.
    const unsigned char fourth = drawn;
    walker.host.ProcessPendingEvents();
    if (walker.FollowedLoad() &&
        !(walker.letters.Has(code) && walker.letters.Of(code).Continues(fourth))) {
        EndWithoutEntry();
    }
    const std::uint32_t four = walker.letters.Fourth(code, fourth);
    const int letter = RandomLetter();
    drawn = static_cast<unsigned char>(letter);
    const LetterTable::Facts facts = walker.letters.OfFour(four);
    const bool goes_on = facts.Continues(drawn);
    if (!goes_on && !facts.IsExact()) return;
    Spell(code, LetterTable::kDepth - 1);
    word_ += static_cast<char>(fourth);
    if (!goes_on) {
        AppendResult(word_);
        return;
    }
    const PrefixIndex::Cursor next = walker.dictionary.Index().StepSmallLetter(
        walker.dictionary.Entries(), walker.letters.At(four), drawn);
    ExtendInTrie(next, letter, walker.generation);
}

void MatchSearch::EndWithoutEntry() {
    RandomLetter();
    dictionary_.EntryAt(-1);
}

void MatchSearch::Spell(LetterTable::Code code, std::uint32_t length) {
    word_.resize(length);
    for (std::uint32_t i = length; i > 0; --i, code >>= 5) {
        word_[i - 1] = static_cast<char>(224u + (code & 31u));
    }
}

void MatchSearch::ExtendInTrie(PrefixIndex::Cursor cursor, int letter, std::uint64_t generation) {
    const PrefixIndex& index = dictionary_.Index();
    const EntryTable& entries = dictionary_.Entries();
    for (;;) {
        // The cursor is at word_ + letter, which is taken now.
        host_.ProcessPendingEvents();
        word_ += static_cast<char>(letter);
        if (dictionary_.Generation() != generation) {
            generation = dictionary_.Generation();
            cursor = index.Seek(entries, word_);
        }
        letter = RandomLetter();
        if (cursor.Valid()) {
            const PrefixIndex::Cursor next =
                index.StepSmallLetter(entries, cursor, static_cast<unsigned char>(letter));
            if (next.Valid()) {
                cursor = next;
                continue;
            }
        }
        if (index.FirstEntry(cursor) < 0) dictionary_.EntryAt(-1);
        if (index.FirstEntryIsExact(cursor)) AppendResult(word_);
        return;
    }
}

}  // namespace bukvotok
