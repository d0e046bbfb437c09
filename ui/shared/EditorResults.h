// What the window asks of its results box (WindowResults), answered by the box's editor: each
// toolkit's box hands the window its editor's text through this.
#pragma once

#include "ResultsEditor.h"
#include "WindowResults.h"

namespace bukvotok {

class EditorResults : public WindowResults {
public:
    // `editor` may be made after this, but must outlive it.
    explicit EditorResults(ResultsEditor& editor) : results_editor_(editor) {}

    std::string ResultsText() const override;
    std::size_t ResultsSize() const override { return results_editor_.Size(); }
    // The text in pieces of about a megabyte, as it is kept.
    std::vector<std::string_view> ResultsPieces() const override;
    void SetResultsText(std::string_view bytes) override { results_editor_.SetResultsText(bytes); }
    void AppendWord(std::string_view word) override { results_editor_.AppendWord(word); }
    void AppendWords(std::string_view spaced, std::size_t& taken) override {
        results_editor_.AppendWords(spaced, taken);
    }
    std::size_t PlainAppendRoom() const override { return results_editor_.PlainAppendRoom(); }
    void BeginSearch() override { results_editor_.BeginSearch(); }
    void EndSearch() override { results_editor_.EndSearch(); }
    void Clear() override { results_editor_.Clear(); }
    std::uint64_t MarkSaved() override { return results_editor_.MarkSaved(); }
    void ForgetSave(std::uint64_t save) override { results_editor_.ForgetSave(save); }
    bool Saved() const override { return results_editor_.Saved(); }
    TextModel::Removed Kept() const override { return results_editor_.Kept(); }
    std::uint64_t Changes() const override { return results_editor_.Changes(); }
    std::size_t Capacity() const override { return results_editor_.Capacity(); }
    void SetCapacity(std::size_t bytes) override { results_editor_.SetCapacity(bytes); }

private:
    ResultsEditor& results_editor_;
};

}  // namespace bukvotok
