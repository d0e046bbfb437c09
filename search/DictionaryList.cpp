#include "DictionaryList.h"

#include <algorithm>
#include <new>

#include "DictionaryFile.h"
#include "Errors.h"
#include "LetterGenerator.h"
#include "Utf8WordList.h"

namespace bukvotok {

namespace {
// Node depths are 32-bit; one byte is kept free for the cursor past an entry's end.
constexpr std::size_t kMaxEntryLength = 0xFFFFFFFEu;
}  // namespace

void DictionaryList::LoadDictionary(const NativePath& path, std::optional<FileIdentity>* opened) {
    LoadDictionaryBytes(ReadDictionaryFile(path, Streams::kReadNothing, opened));
}

void DictionaryList::LoadDictionaryBytes(std::string bytes) {
    ConvertUtf8WordList(bytes);
    LoadDictionaryText(std::move(bytes));
}

void DictionaryList::LoadDictionaryText(std::string text) {
    const std::size_t limit = std::min(capacity_limit_, kMaxEntries);
    bool complete = true;
    try {
        SplitResult split = SplitEntries(std::move(text), limit, kMaxEntryLength);
        complete = split.complete;
        Replace(std::move(split.table));
    } catch (const std::bad_alloc&) {
        // Whatever was taken cannot be indexed either: leave a consistent, empty list.
        Replace(EntryTable{});
        throw ListInsertError();
    }
    if (!complete) throw ListInsertError();
}

std::int32_t DictionaryList::FindPrefix(std::string_view probe) const {
    return index_.FirstEntry(index_.Seek(entries_, probe));
}

std::string_view DictionaryList::EntryAt(std::int64_t index) const {
    if (index < 0 || index >= static_cast<std::int64_t>(entries_.Count())) {
        throw ListIndexError(index);
    }
    return entries_.Entry(static_cast<std::size_t>(index));
}

void DictionaryList::Replace(EntryTable entries) {
    ++generation_;
    entries_ = std::move(entries);
    index_.Build(entries_);
    letters_.Build(index_, entries_);
    passes_.Build(letters_.Read());
    can_start_walk_ = false;
    for (int letter = FirstLetterCode; letter < FirstLetterCode + LetterCount; ++letter) {
        const auto byte = static_cast<unsigned char>(letter);
        if (index_.StepSmallLetter(entries_, index_.Root(), byte).Valid()) can_start_walk_ = true;
    }
    can_record_word_ = false;
    // A usual list has such an entry among its first few, so the scan is long only for a list
    // that has none, and then most entries are passed over at their first byte.
    constexpr std::uint32_t kDrawnLetters = (std::uint32_t{1} << LetterCount) - 1;
    for (std::size_t i = 0; i < entries_.Count() && !can_record_word_; ++i) {
        const std::string_view entry = entries_.Entry(i);
        const bool drawn_letters_only =
            !entry.empty() && std::all_of(entry.begin(), entry.end(), [](char c) {
                const int letter = static_cast<unsigned char>(c);
                return letter >= FirstLetterCode && letter < FirstLetterCode + LetterCount;
            });
        if (!drawn_letters_only) continue;
        const PrefixIndex::Cursor cursor = index_.Seek(entries_, entry);
        if (index_.FirstEntry(cursor) != static_cast<std::int32_t>(i)) continue;
        // A walk ends on the entry only when some drawn letter continues it into no entry.
        can_record_word_ = (~index_.SmallLetters(entries_, cursor) & kDrawnLetters) != 0;
    }
}

std::size_t DictionaryList::MemoryBytes() const {
    return entries_.bytes.capacity() + entries_.bounds.capacity() * sizeof(std::uint64_t) +
           index_.MemoryBytes() + letters_.MemoryBytes() + passes_.MemoryBytes();
}

}  // namespace bukvotok
