// The results box of the Win32 window: a window class of its own on the editor every face shares
// (ResultsEditor).  This class is its Win32 face: it turns Windows' messages into the editor's
// calls, draws what the editor lays out with GDI (Windows-1251 bytes converted a visible run at
// a time), runs its timers as window timers, keeps a system caret where the editor's caret is
// (for magnifiers and input methods), and speaks to the clipboard (ResultsBoxClipboard) and to
// OLE's drag and drop, with other programs as within the box (ResultsBoxDropTarget,
// ResultsBoxDataObject).  Windows has no selection clipboard: a middle click pastes nothing, as
// in Windows' own boxes.  No scroll bars, as on Linux.
#pragma once

#include <windows.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "ComObject.h"
#include "EditorResults.h"
#include "Handles.h"
#include "ResultsBoxClipboard.h"
#include "ResultsBoxDropTarget.h"
#include "ResultsEditor.h"

namespace bukvotok::win32 {

class ResultsBoxAccessible;

class ResultsBox : public EditorResults, private ResultsFace {
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
    // What OLE calls when something is dragged over the box; null without OLE.
    IDropTarget* DropTarget() const { return drop_target_.get(); }

private:
    template <typename Object>
    friend LRESULT CALLBACK ObjectWindowProc(HWND, UINT, WPARAM, LPARAM);

    LRESULT Dispatch(UINT message, WPARAM wparam, LPARAM lparam);
    // Keys, characters, the input method, the mouse and the menu (ResultsBoxInput.cpp).
    bool OnInput(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result);
    void OnChar(wchar_t unit);
    void OnComposition(LPARAM parts);
    void OnContextMenu(LPARAM lparam);
    void OnPaint();
    void OnFocus(bool focused);
    LRESULT OnGetObject(WPARAM flags, LPARAM object_id);
    void PlaceSystemCaret() noexcept;
    void StopTakingDrops() noexcept;
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
    void ValueChanged() noexcept override;

    ResultsEditor editor_{*this};
    ResultsBoxClipboard clipboard_;
    ComReference<ResultsBoxDropTarget> drop_target_;  // registered while the window is there
    WindowHandle window_;
    HFONT font_ = nullptr;        // the window's, which it hands every control
    wchar_t high_surrogate_ = 0;  // the first half of a character typed in two messages
    mutable std::array<INT, 256> advances_{};   // as last measured, in whole pixels
    std::array<int, kResultsTimers> timers_{};  // each running timer's interval, else -1
    std::vector<std::string> later_errors_;     // from paints, shown once the loop is back

    // What screen readers ask (ResultsBoxAccessible); one reference held while the box lives.
    ResultsBoxAccessible* accessible_ = nullptr;
};

}  // namespace bukvotok::win32
