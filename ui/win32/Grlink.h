// The link control of the Win32 face: a window class of its own, "TGrlink", drawing its caption
// blue and underlined in the font its parent gives it, sized to the caption as a label is.  The
// hand pointer over it is pointer 5 of the program's cursor registry, made from the resource
// "HAND"; a left press lights it in ActiveColor, holding the mouse until the release; a click
// hands the target to the shell's "open"; a right click offers "Copy", which puts the caption
// on the clipboard; a screen reader finds a link named by its caption (WM_GETOBJECT).  What
// it does is LinkBehaviour's: this only turns messages into calls and draws.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "CursorRegistry.h"
#include "Handles.h"
#include "LinkBehaviour.h"
#include "Utf16.h"
#include "WindowObject.h"

namespace bukvotok::win32 {

class GrlinkAccessible;

class TGrlink : private LinkFace {
public:
    static constexpr int HandCursorIndex = 5;
    static constexpr const wchar_t* kClassName = L"TGrlink";
    static constexpr UINT kCopyCommand = 1;

    // Receives a click's target; whatever it does is its own business.
    using Opener = std::function<void(const std::wstring& target)>;

    // A child of `parent` with the control id `id`, its hand from `instance`'s resource "HAND",
    // registered (again, as every link does) in `cursors`, which must outlive the link.
    TGrlink(HWND parent, int id, CursorRegistry& cursors, HINSTANCE instance);
    ~TGrlink() override;
    TGrlink(const TGrlink&) = delete;
    TGrlink& operator=(const TGrlink&) = delete;

    HWND Handle() const { return window_.Get(); }

    // The caption, shown and copied; the control fits its width to it.
    void SetCaption(const std::wstring& caption);
    std::wstring CaptionText() const;
    // When blank (nothing but characters 0..32) the caption itself is opened.
    void SetURL(const std::wstring& url) { behaviour_.SetURL(ToUtf16(url)); }
    std::wstring URL() const;
    // Text colour while the left button is held on the link.
    void SetActiveColor(COLORREF color) { behaviour_.SetActiveColor(color); }
    COLORREF ActiveColor() const { return behaviour_.ActiveColor(); }
    COLORREF Color() const { return color_; }

    // The shell's "open" when empty, as at the start.
    void SetOpener(Opener opener) { opener_ = std::move(opener); }
    // Puts the caption on the clipboard; raises ClipboardError when another program holds it.
    void CopyCaption() { behaviour_.Copy(); }
    // What a click does, for assistive technology.
    void Activate() { static_cast<void>(behaviour_.Activate()); }
    std::wstring Target() const;
    HMENU LinkMenu() const { return link_menu_.Get(); }

    static void ShellOpen(const std::wstring& target);

private:
    static void RegisterClassOnce(HINSTANCE instance);
    template <typename Object>
    friend LRESULT CALLBACK ObjectWindowProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT Dispatch(UINT message, WPARAM wparam, LPARAM lparam);

    void OnPaint();
    void OnLeftButtonDown(bool second_of_double_click);
    void OnLeftButtonUp(LPARAM position);
    void OnCaptureChanged(HWND new_owner);
    void OnContextMenu(LPARAM screen_position);
    LRESULT OnGetObject(WPARAM flags, LPARAM object_id);
    void OnSetFont(HFONT font, bool redraw);
    void FitToText();

    // LinkFace
    std::u16string Caption() const override;
    LinkColor FontColor() const override { return color_; }
    void SetFontColor(LinkColor color) override;
    bool RaiseClicked() override;
    bool Open(const std::u16string& target) override;
    void PutOnClipboard(const std::u16string& text) override;

    CursorRegistry& cursors_;
    LinkBehaviour behaviour_{*this};
    WindowHandle window_;
    FontHandle font_;  // the parent's font, underlined
    MenuHandle link_menu_;
    COLORREF color_ = kLinkColor;
    Opener opener_;
    bool releasing_capture_ = false;
    GrlinkAccessible* accessible_ = nullptr;  // one reference held while the link lives
};

}  // namespace bukvotok::win32
