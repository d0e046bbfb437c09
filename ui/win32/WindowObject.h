// The window procedure of a class of our own whose windows each belong to one C++ object.
// The object hands itself to CreateWindowExW as the creation parameter; the procedure gives it
// its handle as the window is made (WM_NCCREATE), takes the handle back when Windows destroys
// the window (with its parent, say), so that the object does not destroy it a second time, and
// passes every message in between to the object's Dispatch.  The object declares it a friend
// and keeps its handle in `window_`; its destructor calls Forget first, so that messages sent
// while the window goes no longer reach it.
#pragma once

#include <windows.h>

namespace bukvotok::win32 {

template <typename Object>
LRESULT CALLBACK ObjectWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
        auto* created =
            static_cast<Object*>(reinterpret_cast<const CREATESTRUCTW*>(lparam)->lpCreateParams);
        created->window_.Reset(window);
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
    }
    auto* object = reinterpret_cast<Object*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (object == nullptr) return ::DefWindowProcW(window, message, wparam, lparam);
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        static_cast<void>(object->window_.Take());
        return ::DefWindowProcW(window, message, wparam, lparam);
    }
    return object->Dispatch(message, wparam, lparam);
}

// Parts the window from its object before the object goes.
inline void Forget(HWND window) {
    if (window != nullptr) ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
}

}  // namespace bukvotok::win32
