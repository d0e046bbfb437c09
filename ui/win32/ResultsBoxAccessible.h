// What a screen reader sees of the results box (Microsoft Active Accessibility): an editable
// text, named as the window names it ("Найденные совпадения слов"), focusable and focused as the
// box is, whose value is the stretch of the text around the caret that the editor picks
// (ResultsEditor::ValueSpan), a few kilobytes however large the text: the whole of it, which
// may be gigabytes, would be read out and copied at every question.  The value cannot be set:
// a reader types through the keyboard, as the user does.  The box tells readers of changes
// (EVENT_OBJECT_VALUECHANGE, at most once a frame) and of the focus, and keeps the system's
// caret where its own is, which readers and magnifiers follow.  Everything else is what Windows
// tells of any window.
#pragma once

#include "StandardAccessible.h"

namespace bukvotok::win32 {

class ResultsBox;

class ResultsBoxAccessible : public StandardAccessible {
public:
    // One reference, for the box; null when Windows' own part cannot be had.
    static ResultsBoxAccessible* Create(ResultsBox& box);

    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override;
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override;
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override;
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override;

private:
    ResultsBoxAccessible(ResultsBox& box, IAccessible* standard);

    ResultsBox& box_;
};

}  // namespace bukvotok::win32
