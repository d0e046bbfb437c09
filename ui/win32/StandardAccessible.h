// An IAccessible (Microsoft Active Accessibility) that answers every question as Windows does
// for a window's client area (CreateStdAccessibleObject), for a control of our own to derive
// from and answer, itself, what makes it what it is.  The control holds one reference while it
// lives and disconnects it as it goes: a screen reader may hold the object longer, and from
// then on every question gets the answer that the object is gone.
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <oleacc.h>

#include <string>

namespace bukvotok::win32 {

// A COM object is deleted by its own Release only, never through an interface pointer, so
// COM's interfaces have no virtual destructor.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class StandardAccessible : public IAccessible {
public:
    StandardAccessible(const StandardAccessible&) = delete;
    StandardAccessible& operator=(const StandardAccessible&) = delete;

    // The control is going: every later call answers that it is gone.
    void Disconnect() { connected_ = false; }
    // WM_GETOBJECT's answer for OBJID_CLIENT.
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
    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override;
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override;
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** dispatch) override;
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override;
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override;
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override;
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override;
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override;
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override;
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override;
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override;
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override;
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override;
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                          VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override;
    HRESULT STDMETHODCALLTYPE accHitTest(long left, long top, VARIANT* child) override;
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override;
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override;
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override;

protected:
    // Windows' object for the client area of `window`, one reference; null when it cannot be
    // had.
    static IAccessible* StandardFor(HWND window);
    // Takes over the reference to `standard`, which must not be null.
    StandardAccessible(HWND window, IAccessible* standard) : window_(window), standard_(standard) {}
    virtual ~StandardAccessible();

    HWND Window() const { return window_; }
    // Whether the call is about the control itself and the control is still there.
    bool IsSelf(const VARIANT& child) const {
        return connected_ && child.vt == VT_I4 && child.lVal == CHILDID_SELF;
    }

    // A BSTR of `text`, or S_FALSE for none.
    static HRESULT Answer(const std::wstring& text, BSTR* out);
    static HRESULT Answer(long value, VARIANT* out);

private:
    LONG references_ = 1;
    bool connected_ = true;
    HWND window_;
    IAccessible* standard_;  // one reference
};
#pragma GCC diagnostic pop

}  // namespace bukvotok::win32
