#include "EntryTable.h"

#include <cstring>
#include <new>

namespace bukvotok {

namespace {

constexpr bool IsLineEnd(char c) { return c == '\r' || c == '\n' || c == '\0'; }

}  // namespace

SplitResult SplitEntries(std::string text, std::size_t max_entries, std::size_t max_entry_length) {
    SplitResult result;
    const std::size_t size = text.size();
    char* const data = text.data();
    std::size_t read = 0;
    std::size_t written = 0;
    while (read < size && data[read] != '\0') {
        if (result.table.Count() >= max_entries) {
            result.complete = false;
            break;
        }
        std::size_t end = read;
        while (end < size && !IsLineEnd(data[end])) ++end;
        const std::size_t length = end - read;
        if (length > max_entry_length) {
            result.complete = false;
            break;
        }
        // Entries only ever move towards the start, so the text is compacted in place.
        if (written != read) std::memmove(data + written, data + read, length);
        try {
            result.table.bounds.push_back(written + length);
        } catch (const std::bad_alloc&) {
            result.complete = false;
            break;
        }
        written += length;
        read = end;
        if (read < size && data[read] == '\r') ++read;
        if (read < size && data[read] == '\n') ++read;
    }
    text.resize(written);
    result.table.bytes = std::move(text);
    return result;
}

}  // namespace bukvotok
