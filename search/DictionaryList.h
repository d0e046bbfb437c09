// The dictionary: an ordered list of entries, loaded from a file, with the two queries that the
// search makes.
//
// Entries are kept byte for byte as the file holds them, in file order, duplicates and empty
// entries included; the list is never sorted.  Indices are zero-based and 32-bit; -1 means "no
// entry".
//
// FindPrefix(probe) answers the index of the first entry, counting from index 0, whose leading
// bytes equal the probe when both are case-folded (see FoldCase.h); an entry shorter than the
// probe never matches.  It is answered from a prefix index built at load time, so its cost
// depends on the probe's length only.  The empty probe matches entry 0.
//
// A file is taken in Windows-1251 byte for byte, unless it is a UTF-8 word list, which is
// converted first (see Utf8WordList.h).
//
// A load replaces the whole list only once the file has been opened and read; a failure to open
// leaves the previous list as it was.  Generation() changes with every replacement, so that a
// search holding a position in the old list can tell it must look again.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "EntryTable.h"
#include "FileIdentity.h"
#include "LetterTable.h"
#include "NativePath.h"
#include "PassTable.h"
#include "PrefixIndex.h"

namespace bukvotok {

class DictionaryList {
public:
    static constexpr std::size_t kMaxEntries = 2147483647;

    // Raises FileOpenError, DictionaryTooLargeError or OutOfMemoryError (list unchanged), or
    // ListInsertError (the list keeps the entries taken before the one refused).  `opened`, when
    // given, receives the file's identity once it is open, even if the load then fails.
    void LoadDictionary(const NativePath& path, std::optional<FileIdentity>* opened = nullptr);

    // The same from a file's bytes already read (standard input, a pipe).
    void LoadDictionaryBytes(std::string bytes);

    // The entries of `text` exactly as it stands, without looking for UTF-8.
    void LoadDictionaryText(std::string text);

    std::int32_t FindPrefix(std::string_view probe) const;

    // The entry's bytes, valid until the next load.  Raises ListIndexError for an index that
    // names no entry, -1 included.
    std::string_view EntryAt(std::int64_t index) const;

    std::int32_t Count() const { return static_cast<std::int32_t>(entries_.Count()); }

    std::uint64_t Generation() const { return generation_; }

    // Whether a walk of the search can start: some entry begins with a letter it draws.
    bool CanStartWalk() const { return can_start_walk_; }

    // Whether the search can ever record a word: some entry made of the letters it draws only is
    // the first entry that begins with itself, and some letter it draws continues that entry
    // into no entry, so that a walk can end on it.  When none is, walks may still run (a list in
    // capitals, an entry continued by every letter towards longer ones in capitals) but never
    // end on a word.
    bool CanRecordWord() const { return can_record_word_; }

    // The most entries a load takes before refusing the next one; for tests of that refusal.
    void SetCapacityLimit(std::size_t max_entries) { capacity_limit_ = max_entries; }

    // For the search's walk: the lengths of most passes from their first four letters, the
    // first letters of the others in the letter table, the rest a cursor in the index narrowed
    // by one letter at a time.
    const PassTable& Passes() const { return passes_; }
    const LetterTable& Letters() const { return letters_; }
    const PrefixIndex& Index() const { return index_; }
    const EntryTable& Entries() const { return entries_; }

    std::size_t MemoryBytes() const;

private:
    void Replace(EntryTable entries);

    EntryTable entries_;
    PrefixIndex index_;
    LetterTable letters_;
    PassTable passes_;
    std::uint64_t generation_ = 0;
    bool can_start_walk_ = false;
    bool can_record_word_ = false;
    std::size_t capacity_limit_ = kMaxEntries;
};

}  // namespace bukvotok
