// The box as OLE's drop target: another program's text dragged over it shows where it would
// drop and lands there through the editor, as a paste would, selected; the box's own selection
// dragged within it moves, or copies with Ctrl.  Text comes as Unicode (CF_UNICODETEXT), or as
// 8-bit text in the code page of its locale (CF_TEXT, CF_LOCALE); anything else is refused.  A
// drag from another program moves unless Ctrl is held or the program allows only a copy; text
// that does not land (no room, no memory, none came) is answered as no drop, so the program
// that moved it keeps it.
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <oleidl.h>

#include "ComObject.h"
#include "ResultsBoxDataObject.h"
#include "ResultsEditor.h"

namespace bukvotok::win32 {

class ResultsBoxDropTarget final : public ComObject<IDropTarget> {
public:
    ResultsBoxDropTarget(HWND window, ResultsEditor& editor) : window_(window), editor_(&editor) {}

    // The box is going: whatever comes later is refused.
    void Disconnect() { editor_ = nullptr; }
    // The box's own drag, from its start to its end; ending it says whether it was dropped here.
    void StartOwnDrag(const ResultsBoxDataObject* own) {
        own_drag_ = own;
        dropped_own_ = false;
    }
    bool EndOwnDrag() {
        own_drag_ = nullptr;
        return dropped_own_;
    }

    // Points are on the screen.
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL at,
                                        DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL at, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL at,
                                   DWORD* effect) override;

private:
    // What a drop at `at` would do, of what the source allows; shows where it would drop.
    DWORD Effect(DWORD keys, POINTL at, DWORD allowed);

    HWND window_;
    ResultsEditor* editor_;
    const ResultsBoxDataObject* own_drag_ = nullptr;
    bool over_own_ = false;  // what is over the box is its own drag
    bool has_text_ = false;  // what is over the box carries text
    bool dropped_own_ = false;
};

}  // namespace bukvotok::win32
