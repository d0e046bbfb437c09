// A face for the results editor without a toolkit: every letter 6 pixels wide, lines 16 high,
// timers that fire only when a test fires them, clipboards held in memory, and a record of the
// questions and errors shown.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "ResultsEditor.h"

namespace bukvotok {

class FakeResultsFace : public ResultsFace {
public:
    static constexpr int kAdvance = 6;
    static constexpr int kLineHeight = 16;

    FakeResultsFace() { editor.SetGeometry(width, height); }

    // The box's size changed.
    void Resize(int new_width, int new_height) {
        width = new_width;
        height = new_height;
        editor.SetGeometry(width, height);
    }
    // Fires `timer` if it runs; whether it did.
    bool Fire(ResultsTimer timer) {
        if (timers.count(timer) == 0) return false;
        editor.TimerFired(timer);
        return true;
    }

    FontMeasures Measure() const override {
        FontMeasures font;
        font.advance.fill(kAdvance);
        font.line_height = kLineHeight;
        font.ascent = 12;
        return font;
    }
    void Redraw() override {}
    void Redraw(const PixelRect&) override {}
    void StartTimer(ResultsTimer timer, int milliseconds) override { timers[timer] = milliseconds; }
    void StopTimer(ResultsTimer timer) override { timers.erase(timer); }
    bool HasFocus() const override { return true; }
    int CaretBlinkMs() const override { return 500; }
    int DragDistance() const override { return 10; }
    int DoubleClickMs() const override { return 400; }
    int WheelScrollLines() const override { return 3; }
    PixelPoint Pointer() const override { return {}; }

    void PutOnClipboard(const BlockBytes& bytes) override {
        clipboard = bytes;
        clipboard_text.reset();
    }
    std::optional<IncomingText> ReadClipboard(ResultsClipboard which) override {
        const auto& text = which == ResultsClipboard::kSelection ? selection_text : clipboard_text;
        if (text) return IncomingText{{}, *text, {}};
        if (which == ResultsClipboard::kClipboard && clipboard) {
            return IncomingText{clipboard, {}, {}};
        }
        return std::nullopt;
    }
    bool ClipboardHasText() const override { return clipboard_text || clipboard; }
    void OfferSelection() noexcept override {}
    DragEnd DragSelection(const BlockBytes& bytes) override {
        dragged = bytes;
        return drag_ends;
    }
    bool Ask(const std::string& question) override {
        questions.push_back(question);
        return answer;
    }
    void ShowError(const char* message, bool) noexcept override { errors.emplace_back(message); }
    void TextChanged(std::size_t, std::size_t) noexcept override {}
    void CaretMoved() noexcept override {}
    void ValueChanged() noexcept override { ++value_changes; }

    ResultsEditor editor{*this};
    int width = 329;
    int height = 113;
    std::map<ResultsTimer, int> timers;

    std::optional<BlockBytes> clipboard;
    std::optional<std::u16string> clipboard_text;
    std::optional<std::u16string> selection_text;  // another program's selection
    std::optional<BlockBytes> dragged;
    DragEnd drag_ends = DragEnd::kNothing;

    bool answer = false;
    std::vector<std::string> questions;
    std::vector<std::string> errors;
    int value_changes = 0;
};

}  // namespace bukvotok
