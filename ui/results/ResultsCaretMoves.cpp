#include "ResultsCaretMoves.h"

#include <QChar>

#include "Cp1251.h"

namespace bukvotok {

bool IsWordByte(char byte) {
    const QChar c(Cp1251ToUnicode(static_cast<unsigned char>(byte)));
    return c.isLetterOrNumber() || c == u'_';
}

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
