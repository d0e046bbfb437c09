// The results box of the Win32 window: a window class of its own on the editor every face shares
// (ResultsEditor).  This class is its Win32 face: it turns Windows' messages into the editor's
// calls, draws what the editor lays out with GDI (Windows-1251 bytes converted a visible run at
// a time), runs its timers as window timers, keeps a system caret where the editor's caret is
// (for magnifiers and input methods), and speaks to the clipboard (ResultsBoxClipboard).  Windows
// has no selection clipboard: a middle click pastes nothing, as in Windows' own boxes.  A drag of
// the selection stays within the box (DragSelection); no scroll bars, as on Linux.
#pragma once

#include <windows.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "Handles.h"
#include "ResultsBoxClipboard.h"
#include "ResultsEditor.h"
#include "WindowResults.h"

namespace bukvotok::win32 {

class ResultsBox : public WindowResults, private ResultsFace {
public:
    static constexpr const wchar_t* kClassName = L"TResultsBox";

    // The editor lives from here on; the window comes with Create.
    ResultsBox();
    ~ResultsBox() override;
    ResultsBox(const ResultsBox&) = delete;
    ResultsBox& operator=(const ResultsBox&) = delete;

    // A sunken white child of `parent`, named `name` for screen readers.
    void Create(HWND parent, int id, const wchar_t* name, HINSTANCE instance);
    HWND Handle() const { return window_.Get(); }
    ResultsEditor& Editor() { return editor_; }

    // --- WindowResults, the editor's ---
    std::string ResultsText() const override { return Bytes().Copy(0, Bytes().size()); }
    std::size_t ResultsSize() const override { return editor_.Size(); }
    std::vector<std::string_view> ResultsPieces() const override;
    void SetResultsText(std::string_view bytes) override { editor_.SetResultsText(bytes); }
    void AppendWord(std::string_view word) override { editor_.AppendWord(word); }
    void AppendWords(std::string_view spaced, std::size_t& taken) override {
        editor_.AppendWords(spaced, taken);
    }
    std::size_t PlainAppendRoom() const override { return editor_.PlainAppendRoom(); }
    void BeginSearch() override { editor_.BeginSearch(); }
    void EndSearch() override { editor_.EndSearch(); }
    void Clear() override { editor_.Clear(); }
    std::uint64_t MarkSaved() override { return editor_.MarkSaved(); }
    void ForgetSave(std::uint64_t save) override { editor_.ForgetSave(save); }
    bool Saved() const override { return editor_.Saved(); }
    TextModel::Removed Kept() const override { return editor_.Kept(); }
    std::uint64_t Changes() const override { return editor_.Changes(); }
    std::size_t Capacity() const override { return editor_.Capacity(); }
    void SetCapacity(std::size_t bytes) override { editor_.SetCapacity(bytes); }

private:
    template <typename Object>
    friend LRESULT CALLBACK ObjectWindowProc(HWND, UINT, WPARAM, LPARAM);

    const BlockBytes& Bytes() const { return editor_.Bytes(); }

    LRESULT Dispatch(UINT message, WPARAM wparam, LPARAM lparam);
    // Keys, characters, the input method, the mouse and the menu (ResultsBoxInput.cpp).
    bool OnInput(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result);
    void OnChar(wchar_t unit);
    void OnComposition(LPARAM parts);
    void OnContextMenu(LPARAM lparam);
    void OnPaint();
    void OnFocus(bool focused);
    void PlaceSystemCaret() noexcept;
    void Relayout();

    // --- ResultsFace ---
    FontMeasures Measure() const override;
    void Redraw() override;
    void Redraw(const PixelRect& area) override;
    void StartTimer(ResultsTimer timer, int milliseconds) override;
    void StopTimer(ResultsTimer timer) override;
    bool HasFocus() const override;
    int CaretBlinkMs() const override;
    int DragDistance() const override;
    int DoubleClickMs() const override;
    int WheelScrollLines() const override;
    PixelPoint Pointer() const override;
    void PutOnClipboard(const BlockBytes& bytes) override { clipboard_.Put(Handle(), bytes); }
    std::optional<IncomingText> ReadClipboard(ResultsClipboard clipboard) override;
    bool ClipboardHasText() const override { return clipboard_.HasText(); }
    void OfferSelection() noexcept override {}
    DragEnd DragSelection(const BlockBytes& bytes) override;
    bool Ask(const std::string& question) override;
    void ShowError(const char* message, bool later) noexcept override;
    void TextChanged(std::size_t, std::size_t) noexcept override {}
    void CaretMoved() noexcept override { PlaceSystemCaret(); }

    ResultsEditor editor_{*this};
    ResultsBoxClipboard clipboard_;
    WindowHandle window_;
    HFONT font_ = nullptr;        // the window's, which it hands every control
    wchar_t high_surrogate_ = 0;  // the first half of a character typed in two messages
    mutable std::array<INT, 256> advances_{};   // as last measured, in whole pixels
    std::array<int, kResultsTimers> timers_{};  // each running timer's interval, else -1
    std::vector<std::string> later_errors_;     // from paints, shown once the loop is back
};

}  // namespace bukvotok::win32
