// Owners of Windows' handles: each handle the window side makes is released by exactly one of
// these, on every path, errors included.
#pragma once

#include <windows.h>

#include <utility>

namespace bukvotok::win32 {

// A handle and the one call that releases it.  Moves, never copies.
template <typename Handle, auto Release>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : handle_(handle) {}
    ~UniqueHandle() { Reset(); }
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Take()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) Reset(other.Take());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    Handle Get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    Handle Take() { return std::exchange(handle_, nullptr); }
    void Reset(Handle handle = nullptr) {
        if (handle_ != nullptr) Release(handle_);
        handle_ = handle;
    }

private:
    Handle handle_ = nullptr;
};

namespace release {
inline void Window(HWND window) { ::DestroyWindow(window); }
inline void GdiObject(HGDIOBJ object) { ::DeleteObject(object); }
inline void Menu(HMENU menu) { ::DestroyMenu(menu); }
inline void Cursor(HCURSOR cursor) { ::DestroyCursor(cursor); }
inline void Icon(HICON icon) { ::DestroyIcon(icon); }
inline void Global(HGLOBAL memory) { ::GlobalFree(memory); }
inline void MemoryDc(HDC dc) { ::DeleteDC(dc); }
}  // namespace release

using WindowHandle = UniqueHandle<HWND, release::Window>;
using FontHandle = UniqueHandle<HFONT, release::GdiObject>;
using BrushHandle = UniqueHandle<HBRUSH, release::GdiObject>;
using BitmapHandle = UniqueHandle<HBITMAP, release::GdiObject>;
// A device context made with CreateCompatibleDC.
using MemoryDcHandle = UniqueHandle<HDC, release::MemoryDc>;
using MenuHandle = UniqueHandle<HMENU, release::Menu>;
// A cursor loaded from the program's resources without LR_SHARED, so it is the program's own.
using CursorHandle = UniqueHandle<HCURSOR, release::Cursor>;
using IconHandle = UniqueHandle<HICON, release::Icon>;
// Memory not yet handed to the clipboard, which takes it over once SetClipboardData succeeds.
using GlobalMemory = UniqueHandle<HGLOBAL, release::Global>;

// A window's painting between BeginPaint and EndPaint.
class PaintScope {
public:
    explicit PaintScope(HWND window) : window_(window) { dc_ = ::BeginPaint(window_, &paint_); }
    ~PaintScope() { ::EndPaint(window_, &paint_); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;

    HDC Dc() const { return dc_; }
    const RECT& Dirty() const { return paint_.rcPaint; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

// A window's device context outside painting, for measuring.
class WindowDc {
public:
    explicit WindowDc(HWND window) : window_(window), dc_(::GetDC(window)) {}
    ~WindowDc() {
        if (dc_ != nullptr) ::ReleaseDC(window_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;

    HDC Get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// An object selected into a device context until the scope ends.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(::SelectObject(dc, object)) {}
    ~SelectedObject() { ::SelectObject(dc_, previous_); }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// The clipboard, open for `owner` until the scope ends.  Opened() is false when another program
// holds it.
class OpenClipboardScope {
public:
    explicit OpenClipboardScope(HWND owner) : open_(::OpenClipboard(owner) != FALSE) {}
    ~OpenClipboardScope() {
        if (open_) ::CloseClipboard();
    }
    OpenClipboardScope(const OpenClipboardScope&) = delete;
    OpenClipboardScope& operator=(const OpenClipboardScope&) = delete;

    bool Opened() const { return open_; }

private:
    bool open_;
};

}  // namespace bukvotok::win32
