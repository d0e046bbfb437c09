// What a screen reader sees of a link (Microsoft Active Accessibility): a link, not a plain
// label, named by its caption, the address it opens as its value (and as its description when
// the caption differs), and a default action that opens it.  Like the mouse, it leaves the
// keyboard focus where it is: a link takes none.  Everything else is what Windows tells of any
// window, which this passes on.
#pragma once

#include "StandardAccessible.h"

namespace bukvotok::win32 {

class TGrlink;

class GrlinkAccessible : public StandardAccessible {
public:
    // Posted to the link by the default action, so that the screen reader's call returns before
    // the shell opens the target.
    static constexpr UINT kActivateMessage = WM_APP + 1;

    // One reference, for the link; null when Windows' own part cannot be had.
    static GrlinkAccessible* Create(TGrlink& link);

    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override;
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override;
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override;
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override;
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override;
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override;

private:
    GrlinkAccessible(TGrlink& link, IAccessible* standard);

    TGrlink& link_;
};

}  // namespace bukvotok::win32
