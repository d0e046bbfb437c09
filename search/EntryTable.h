// The dictionary's entries as one block of bytes: entry i is bytes[bounds[i], bounds[i + 1]).
// Entries are kept exactly as the file had them, in file order, without their line ends.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace bukvotok {

struct EntryTable {
    std::string bytes;
    std::vector<std::uint64_t> bounds{0};

    std::size_t Count() const { return bounds.size() - 1; }

    // The bounds lie within `bytes`, so they fit a size_t on a 32-bit system too.
    std::string_view Entry(std::size_t index) const {
        return std::string_view(bytes).substr(
            static_cast<std::size_t>(bounds[index]),
            static_cast<std::size_t>(bounds[index + 1] - bounds[index]));
    }
};

// Splits a dictionary file's text into entries.  An entry ends at CR, LF or NUL; after it one
// CR and then one LF are skipped, so CR LF, LF and CR each end one line while LF CR and CR CR
// also make an empty entry.  A NUL ends the text.  A line end at the very end makes no extra
// entry; a last line without one is still an entry.
//
// The text's storage is reused for the table.  When max_entries entries have been taken, or an
// entry is longer than max_entry_length, splitting stops there and `complete` is false.
struct SplitResult {
    EntryTable table;
    bool complete = true;
};

SplitResult SplitEntries(std::string text, std::size_t max_entries, std::size_t max_entry_length);

}  // namespace bukvotok
