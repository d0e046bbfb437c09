// The box as the source of a drag: the drag goes on while the left button is held, drops where
// it is released, and stops, dropping nothing, on Escape or a press of the right button.
// Whether it moves or copies (Ctrl) is the target's to say; the pointers are Windows' own.
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <oleidl.h>

#include "ComObject.h"

namespace bukvotok::win32 {

class ResultsBoxDropSource final : public ComObject<IDropSource> {
public:
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD keys) override {
        if (escape || (keys & MK_RBUTTON) != 0) return DRAGDROP_S_CANCEL;
        return (keys & MK_LBUTTON) != 0 ? S_OK : DRAGDROP_S_DROP;
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }
};

}  // namespace bukvotok::win32
