#include "AccessibleValue.h"

#include <algorithm>
#include <string>

#include "ResultsCaretMoves.h"

namespace bukvotok {

namespace {

// Whether an edge next to this byte, outside the window, falls within a word.
bool CutsWord(char outside) { return !IsBlankByte(outside) && outside != '\r' && outside != '\n'; }

}  // namespace

ByteSpan AccessibleValueSpan(const BlockBytes& text, std::size_t caret, std::size_t most) {
    const std::size_t size = text.size();
    caret = std::min(caret, size);
    const std::size_t cell = most / 2;
    const std::size_t cell_start = caret / cell * cell;
    const std::size_t window_from = cell_start - std::min(cell_start, cell / 2);
    const std::size_t window_to = std::min(size, window_from + most);
    const std::string bytes = text.Copy(window_from, window_to);
    const std::string_view window = bytes;
    const std::size_t at = caret - window_from;

    // The paragraph: line breaks are CR LF, and the caret never stands between the two.
    const std::size_t break_before = window.substr(0, at).rfind('\n');
    std::size_t from = break_before == std::string_view::npos ? 0 : break_before + 1;
    std::size_t to = std::min(window.find('\r', at), window.size());

    // A paragraph the window cuts in a word is cut at the blank nearest that edge instead,
    // unless the caret is in the word cut.
    if (from == 0 && window_from > 0 && CutsWord(text[window_from - 1])) {
        std::size_t blank = 0;
        while (blank < at && !IsBlankByte(window[blank])) ++blank;
        if (blank < at) from = blank + 1;
    }
    if (to == window.size() && window_to < size && CutsWord(text[window_to])) {
        std::size_t blank = to;
        while (blank > at && !IsBlankByte(window[blank - 1])) --blank;
        if (blank > at) to = blank - 1;
    }
    return {window_from + from, window_from + to};
}

}  // namespace bukvotok
