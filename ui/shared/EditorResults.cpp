#include "EditorResults.h"

namespace bukvotok {

std::string EditorResults::ResultsText() const {
    return results_editor_.Bytes().Copy(0, results_editor_.Size());
}

std::vector<std::string_view> EditorResults::ResultsPieces() const {
    std::vector<std::string_view> pieces;
    const BlockBytes& bytes = results_editor_.Bytes();
    bytes.ForEachPiece(0, bytes.size(), [&pieces](std::string_view piece, std::size_t) {
        pieces.push_back(piece);
        return true;
    });
    return pieces;
}

}  // namespace bukvotok
