#include "DocumentResults.h"

#include <algorithm>

#include "ResultsErrors.h"

namespace bukvotok {

DocumentResults::DocumentResults() { document_.Follow(lines_); }

std::string DocumentResults::ResultsText() const {
    return document_.Bytes().Copy(0, document_.Size());
}

std::vector<std::string_view> DocumentResults::ResultsPieces() const {
    std::vector<std::string_view> pieces;
    const BlockBytes& bytes = document_.Bytes();
    bytes.ForEachPiece(0, bytes.size(), [&pieces](std::string_view piece, std::size_t) {
        pieces.push_back(piece);
        return true;
    });
    return pieces;
}

void DocumentResults::AppendWord(std::string_view word) {
    bool appended = false;
    try {
        appended = document_.Append(" ", word);
    } catch (const ResultsFullError&) {
        // One message for searches that nest: the outer one ends quietly after the inner one.
        if (told_) throw ResultsKeptError();
        told_ = searches_ > 0;
        throw;
    }
    // Nothing is kept to undo here, so only the room refuses.
    if (!appended) throw ResultsKeptError();
}

void DocumentResults::AppendWords(std::string_view spaced, std::size_t& taken) {
    // Up to the last word that ends within the room; the rest one by one, which refuses.
    std::size_t end = spaced.size();
    const std::size_t room = document_.PlainAppendRoom();
    if (end - taken > room) end = spaced.substr(0, taken + room + 1).rfind(' ');
    if (end != std::string_view::npos && end > taken) {
        document_.AppendWords(spaced.substr(0, end), taken);
    }
    while (taken < spaced.size()) {
        const std::size_t next = std::min(spaced.find(' ', taken + 1), spaced.size());
        AppendWord(spaced.substr(taken + 1, next - taken - 1));
        taken = next;
    }
}

void DocumentResults::BeginSearch() {
    if (searches_++ == 0) told_ = false;
    document_.BeginSearch();
}

void DocumentResults::EndSearch() {
    document_.EndSearch();
    if (searches_ > 0) --searches_;
}

}  // namespace bukvotok
