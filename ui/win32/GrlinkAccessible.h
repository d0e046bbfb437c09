// What a screen reader sees of a link (Microsoft Active Accessibility): a link, not a plain
// label, named by its caption, the address it opens as its value (and as its description when
// the caption differs), and a default action that opens it.  Like the mouse, it leaves the
// keyboard focus where it is: a link takes none.  Everything else is what Windows tells of any
// window, which this passes on.
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <oleacc.h>

namespace bukvotok::win32 {

class TGrlink;

// A COM object is deleted by its own Release only, never through an interface pointer, so
// COM's interfaces have no virtual destructor.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class GrlinkAccessible : public IAccessible {
public:
    // Posted to the link by the default action, so that the screen reader's call returns before
    // the shell opens the target.
    static constexpr UINT kActivateMessage = WM_APP + 1;

    // One reference, for the link; null when Windows' own part cannot be had.
    static GrlinkAccessible* Create(TGrlink& link);
    // The link is going: every later call answers that it is gone.
    void Disconnect();
    // WM_GETOBJECT's answer.
    LRESULT Lresult(WPARAM flags);

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID id, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID id, LCID locale, WORD flags,
                                     DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* exception,
                                     UINT* wrong_argument) override;
    // IAccessible: what makes it a link.
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override;
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override;
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override;
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override;
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override;
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override;
    // IAccessible: Windows' own answers.
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override;
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override;
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** dispatch) override;
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override;
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override;
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override;
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override;
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override;
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                          VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override;
    HRESULT STDMETHODCALLTYPE accHitTest(long left, long top, VARIANT* child) override;
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override;
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override;

private:
    GrlinkAccessible(TGrlink& link, IAccessible* standard);
    virtual ~GrlinkAccessible();
    // Whether the call is about the link itself and the link is still there.
    bool IsLink(const VARIANT& child) const;

    LONG references_ = 1;
    TGrlink* link_;
    IAccessible* standard_;  // Windows' object for the link's window, one reference
};
#pragma GCC diagnostic pop

}  // namespace bukvotok::win32
