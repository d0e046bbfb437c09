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
    Walker walker{host_, dictionary_, dictionary_.Generation(), dictionary_.Index().TopTable()};
    do {
        // A host may let events in while it is asked to stop, a load among them.
        walker.FollowedLoad();
        const int letter = RandomLetter();
        const auto drawn = static_cast<unsigned char>(letter);
        if (walker.top.Of(PrefixIndex::kTopRoot).Continues(drawn)) ExtendWord(letter, walker);
    } while (!walker.host.StopRequested());
    host_.SetStatus(kStoppedStatus.View());
}

// Inlined into the loop of passes, so that what the walk reads stays in registers from one
// pass to the next.
[[gnu::always_inline]] inline void MatchSearch::ExtendWord(int ch, Walker& walker) {
    // The first letters are walked in the index's table by their code alone; the word is
    // spelled out only when it is found or when the walk goes on into the trie.
    PrefixIndex::TopCode code =
        PrefixIndex::TopCodeAfter(PrefixIndex::kTopRoot, static_cast<unsigned char>(ch));
#pragma GCC unroll 4
    for (std::uint32_t length = 1; length <= PrefixIndex::kTopDepth; ++length) {
        walker.host.ProcessPendingEvents();
        if (walker.FollowedLoad() && !walker.top.Has(code)) {
            // The new list has no entry beginning with the word: the next letter continues
            // nothing, and the first entry beginning with the word is not there to compare.
            RandomLetter();
            walker.dictionary.EntryAt(-1);
        }
        const int letter = RandomLetter();
        const auto drawn = static_cast<unsigned char>(letter);
        const PrefixIndex::Top::Facts facts = walker.top.Of(code);
        if (!facts.Continues(drawn)) {
            if (facts.IsExact()) {
                Spell(code, length);
                AppendResult(word_);
            }
            return;
        }
        if (length == PrefixIndex::kTopDepth) {
            Spell(code, length);
            const PrefixIndex& index = walker.dictionary.Index();
            const auto next =
                index.StepSmallLetter(walker.dictionary.Entries(), walker.top.At(code), drawn);
            ExtendInTrie(next, letter, walker.generation);
            return;
        }
        code = PrefixIndex::TopCodeAfter(code, drawn);
    }
}

void MatchSearch::Spell(PrefixIndex::TopCode code, std::uint32_t length) {
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
