// The results as the shared document alone, with nothing drawn and no editing, on which the
// window's commands are tested without a toolkit: a search, a save, a clear and the close's
// question work on it as on a box.  Clearing keeps nothing to undo, as nothing here can undo it.
#pragma once

#include "ResultsDocument.h"
#include "ViewLines.h"
#include "WindowResults.h"

namespace bukvotok {

class DocumentResults : public WindowResults {
public:
    DocumentResults();

    std::string ResultsText() const override;
    std::size_t ResultsSize() const override { return document_.Size(); }
    std::vector<std::string_view> ResultsPieces() const override;

    void SetResultsText(std::string_view bytes) override { document_.Assign(bytes); }
    void AppendWord(std::string_view word) override;
    void AppendWords(std::string_view spaced, std::size_t& taken) override;
    std::size_t PlainAppendRoom() const override { return document_.PlainAppendRoom(); }
    void BeginSearch() override;
    void EndSearch() override;

    void Clear() override { document_.Assign({}); }
    std::uint64_t MarkSaved() override { return document_.MarkSaved(); }
    void ForgetSave(std::uint64_t save) override { document_.ForgetSave(save); }
    bool Saved() const override { return document_.Saved(); }
    TextModel::Removed Kept() const override { return document_.Kept(); }
    std::uint64_t Changes() const override { return document_.Changes(); }
    std::size_t Capacity() const override { return document_.Capacity(); }
    void SetCapacity(std::size_t bytes) override { document_.SetCapacity(bytes); }

    // The text and its edits, for the box that will draw and edit it.
    ResultsDocument& Document() { return document_; }
    const BlockBytes& Bytes() const { return document_.Bytes(); }

private:
    ResultsDocument document_;
    ViewLines lines_{document_.Bytes()};
    int searches_ = 0;   // running, one inside another
    bool told_ = false;  // these searches were told why their words cannot go in
};

}  // namespace bukvotok
