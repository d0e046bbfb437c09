#include "ResultsCaretMoves.h"

#include <array>

namespace bukvotok {

namespace {

// The bytes whose characters are letters or digits, and '_': the Latin and Russian letters,
// and the code page's other Cyrillic letters and µ between 0x80 and 0xBF.
constexpr std::array<bool, 256> kWordBytes = [] {
    std::array<bool, 256> word{};
    for (int byte = '0'; byte <= '9'; ++byte) word[static_cast<std::size_t>(byte)] = true;
    for (int byte = 'A'; byte <= 'Z'; ++byte) word[static_cast<std::size_t>(byte)] = true;
    for (int byte = 'a'; byte <= 'z'; ++byte) word[static_cast<std::size_t>(byte)] = true;
    word['_'] = true;
    for (std::size_t byte = 0xC0; byte <= 0xFF; ++byte) word[byte] = true;
    for (const std::size_t byte :
         {0x80u, 0x81u, 0x83u, 0x8Au, 0x8Cu, 0x8Du, 0x8Eu, 0x8Fu, 0x90u, 0x9Au, 0x9Cu,
          0x9Du, 0x9Eu, 0x9Fu, 0xA1u, 0xA2u, 0xA3u, 0xA5u, 0xA8u, 0xAAu, 0xAFu, 0xB2u,
          0xB3u, 0xB4u, 0xB5u, 0xB8u, 0xBAu, 0xBCu, 0xBDu, 0xBEu, 0xBFu}) {
        word[byte] = true;
    }
    return word;
}();

}  // namespace

bool IsWordByte(char byte) { return kWordBytes[static_cast<unsigned char>(byte)]; }

bool IsBlankByte(char byte) { return byte == ' ' || byte == '\t'; }

std::size_t NextCaret(const BlockBytes& text, std::size_t offset) {
    if (offset >= text.size()) return text.size();
    return text[offset] == '\r' ? offset + 2 : offset + 1;
}

std::size_t PreviousCaret(const BlockBytes& text, std::size_t offset) {
    if (offset == 0) return 0;
    return text[offset - 1] == '\n' ? offset - 2 : offset - 1;
}

// Past the rest of the word or run of other signs, then the blanks.
std::size_t NextWordStart(const BlockBytes& text, std::size_t offset) {
    const std::size_t size = text.size();
    if (offset < size && text[offset] == '\r') return offset + 2;
    if (offset < size && !IsBlankByte(text[offset])) {
        const bool word = IsWordByte(text[offset]);
        while (offset < size && !IsBlankByte(text[offset]) && text[offset] != '\r' &&
               IsWordByte(text[offset]) == word) {
            ++offset;
        }
    }
    while (offset < size && IsBlankByte(text[offset])) ++offset;
    return offset;
}

std::size_t PreviousWordStart(const BlockBytes& text, std::size_t offset) {
    while (offset > 0 && IsBlankByte(text[offset - 1])) --offset;
    if (offset > 0 && text[offset - 1] == '\n') return offset - 2;
    if (offset > 0) {
        const bool word = IsWordByte(text[offset - 1]);
        while (offset > 0 && !IsBlankByte(text[offset - 1]) && text[offset - 1] != '\n' &&
               IsWordByte(text[offset - 1]) == word) {
            --offset;
        }
    }
    return offset;
}

std::pair<std::size_t, std::size_t> WordAround(const BlockBytes& text, std::size_t offset) {
    std::size_t from = offset;
    std::size_t to = offset;
    if (to < text.size() && IsWordByte(text[to])) {
        while (from > 0 && IsWordByte(text[from - 1])) --from;
        while (to < text.size() && IsWordByte(text[to])) ++to;
    } else if (to < text.size() && text[to] != '\r') {
        ++to;
    }
    return {from, to};
}

}  // namespace bukvotok
