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
    do {
        letter_ = RandomLetter();
        const auto letter = static_cast<unsigned char>(letter_);
        if (dictionary_.Index().TopTable().Continues(PrefixIndex::kTopRoot, letter)) {
            ExtendWord(letter_);
        }
    } while (!host_.StopRequested());
    host_.SetStatus(kStoppedStatus.View());
}

void MatchSearch::ExtendWord(int ch) {
    // The first letters are walked in the index's table by their code alone; the word is
    // spelled out only when it is found or when the walk goes on into the trie.
    std::uint64_t generation = dictionary_.Generation();
    PrefixIndex::Top top = dictionary_.Index().TopTable();
    PrefixIndex::TopCode code =
        PrefixIndex::TopCodeAfter(PrefixIndex::kTopRoot, static_cast<unsigned char>(ch));
    for (std::uint32_t length = 1;; ++length) {
        host_.ProcessPendingEvents();
        if (dictionary_.Generation() != generation) {
            generation = dictionary_.Generation();
            top = dictionary_.Index().TopTable();
        }
        letter_ = RandomLetter();
        const auto letter = static_cast<unsigned char>(letter_);
        if (!top.Continues(code, letter)) {
            // The walk ends.  With no entry beginning with the word (the list was replaced
            // under the walk) EntryAt raises the index error.
            if (!top.Has(code)) dictionary_.EntryAt(-1);
            if (top.IsExact(code)) {
                Spell(code, length);
                AppendResult(word_);
            }
            return;
        }
        if (length == PrefixIndex::kTopDepth) {
            Spell(code, length);
            const PrefixIndex& index = dictionary_.Index();
            ExtendInTrie(index.StepSmallLetter(dictionary_.Entries(), top.At(code, length), letter),
                         generation);
            return;
        }
        code = PrefixIndex::TopCodeAfter(code, letter);
    }
}

void MatchSearch::Spell(PrefixIndex::TopCode code, std::uint32_t length) {
    word_.resize(length);
    for (std::uint32_t i = length; i > 0; --i, code >>= 5) {
        word_[i - 1] = static_cast<char>(224u + (code & 31u));
    }
}

void MatchSearch::ExtendInTrie(PrefixIndex::Cursor cursor, std::uint64_t generation) {
    const PrefixIndex& index = dictionary_.Index();
    const EntryTable& entries = dictionary_.Entries();
    for (;;) {
        // The cursor is at word_ + letter_, which is taken now.
        host_.ProcessPendingEvents();
        word_ += static_cast<char>(letter_);
        if (dictionary_.Generation() != generation) {
            generation = dictionary_.Generation();
            cursor = index.Seek(entries, word_);
        }
        letter_ = RandomLetter();
        if (cursor.Valid()) {
            const PrefixIndex::Cursor next =
                index.StepSmallLetter(entries, cursor, static_cast<unsigned char>(letter_));
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
