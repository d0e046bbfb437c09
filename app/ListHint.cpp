#include "ListHint.h"

#include <cstddef>

namespace bukvotok {

bool LooksLikeUtf16(std::string_view text_as_read) {
    if (text_as_read.starts_with("\xFF\xFE") || text_as_read.starts_with("\xFE\xFF")) {
        return true;
    }
    const std::size_t nul = text_as_read.find('\0');
    if (nul == std::string_view::npos) return false;
    if (nul <= 1) return true;
    // Cyrillic in UTF-16 is a letter byte and 0x04 (little-endian: after, big-endian: before).
    const std::string_view before = text_as_read.substr(0, nul);
    for (std::size_t parity = 0; parity < 2; ++parity) {
        bool every_other = true;
        for (std::size_t i = parity; i < before.size() && every_other; i += 2) {
            every_other = before[i] == '\x04';
        }
        if (every_other) return true;
    }
    return false;
}

const char* ListHint(bool looks_like_utf16, const EntryTable& entries) {
    if (looks_like_utf16) {
        return "the file looks like UTF-16: its text ends at a NUL byte near its start, and "
               "nothing after one is read; save the list as UTF-8 or Windows-1251";
    }
    std::size_t capitals = 0;
    std::size_t small = 0;
    std::size_t latin = 0;
    for (const char c : entries.bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0xE0 || byte == 0xB8) {
            ++small;
        } else if (byte >= 0xC0 || byte == 0xA8) {
            ++capitals;
        } else if ((byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z')) {
            ++latin;
        }
    }
    if (latin > capitals + small) {
        return "most letters of the list are Latin; words are found in the small Cyrillic "
               "letters а to ю only";
    }
    if (capitals > small) {
        return "most letters of the list are capitals, which lead walks on but are never found; "
               "words are found in the small letters а to ю only (or is the list in another "
               "Cyrillic encoding, such as KOI8-R?)";
    }
    return nullptr;
}

}  // namespace bukvotok
