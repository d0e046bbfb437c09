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
        word_.clear();
        letter_ = RandomLetter();
        const PrefixIndex& index = dictionary_.Index();
        cursor_ = index.StepSmallLetter(dictionary_.Entries(), index.Root(),
                                        static_cast<unsigned char>(letter_));
        if (cursor_.Valid()) ExtendWord(letter_);
    } while (!host_.StopRequested());
    host_.SetStatus(kStoppedStatus.View());
}

void MatchSearch::ExtendWord(int ch) {
    for (;;) {
        const std::uint64_t generation = dictionary_.Generation();
        host_.ProcessPendingEvents();
        word_ += static_cast<char>(ch);
        const PrefixIndex& index = dictionary_.Index();
        const EntryTable& entries = dictionary_.Entries();
        if (dictionary_.Generation() != generation) cursor_ = index.Seek(entries, word_);

        letter_ = RandomLetter();
        if (cursor_.Valid()) {
            const PrefixIndex::Cursor next =
                index.StepSmallLetter(entries, cursor_, static_cast<unsigned char>(letter_));
            if (next.Valid()) {
                cursor_ = next;
                ch = letter_;
                continue;
            }
        }
        // The walk ends.  The first entry that begins with the word must be the word itself;
        // with no such entry (the list was replaced) EntryAt raises the index error.
        const std::int32_t first = index.FirstEntry(cursor_);
        if (first < 0) dictionary_.EntryAt(first);
        if (index.FirstEntryIsExact(cursor_)) AppendResult(word_);
        return;
    }
}

}  // namespace bukvotok
