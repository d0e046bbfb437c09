#include "StandardAccessible.h"

namespace bukvotok::win32 {

IAccessible* StandardAccessible::StandardFor(HWND window) {
    IAccessible* standard = nullptr;
    if (FAILED(::CreateStdAccessibleObject(window, OBJID_CLIENT, __uuidof(IAccessible),
                                           reinterpret_cast<void**>(&standard)))) {
        return nullptr;
    }
    return standard;
}

StandardAccessible::~StandardAccessible() { standard_->Release(); }

LRESULT StandardAccessible::Lresult(WPARAM flags) {
    return ::LresultFromObject(__uuidof(IAccessible), flags, static_cast<IAccessible*>(this));
}

HRESULT StandardAccessible::Answer(const std::wstring& text, BSTR* out) {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (text.empty()) return S_FALSE;
    *out = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT StandardAccessible::Answer(long value, VARIANT* out) {
    if (out == nullptr) return E_POINTER;
    ::VariantInit(out);
    out->vt = VT_I4;
    out->lVal = value;
    return S_OK;
}

HRESULT StandardAccessible::QueryInterface(REFIID id, void** object) {
    if (object == nullptr) return E_POINTER;
    if (id == __uuidof(IUnknown) || id == __uuidof(IDispatch) || id == __uuidof(IAccessible)) {
        *object = static_cast<IAccessible*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG StandardAccessible::AddRef() {
    return static_cast<ULONG>(::InterlockedIncrement(&references_));
}

ULONG StandardAccessible::Release() {
    const LONG left = ::InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
}

// Everything is Windows' own answer for the window, while the control is there.
#define BUKVOTOK_FORWARD(call)                    \
    if (!connected_) return CO_E_OBJNOTCONNECTED; \
    return standard_->call

HRESULT StandardAccessible::GetTypeInfoCount(UINT* count) {
    BUKVOTOK_FORWARD(GetTypeInfoCount(count));
}
HRESULT StandardAccessible::GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) {
    BUKVOTOK_FORWARD(GetTypeInfo(index, locale, info));
}
HRESULT StandardAccessible::GetIDsOfNames(REFIID id, LPOLESTR* names, UINT count, LCID locale,
                                          DISPID* ids) {
    BUKVOTOK_FORWARD(GetIDsOfNames(id, names, count, locale, ids));
}
HRESULT StandardAccessible::Invoke(DISPID member, REFIID id, LCID locale, WORD flags,
                                   DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* exception,
                                   UINT* wrong_argument) {
    BUKVOTOK_FORWARD(
        Invoke(member, id, locale, flags, parameters, result, exception, wrong_argument));
}
HRESULT StandardAccessible::get_accParent(IDispatch** parent) {
    BUKVOTOK_FORWARD(get_accParent(parent));
}
HRESULT StandardAccessible::get_accChildCount(long* count) {
    BUKVOTOK_FORWARD(get_accChildCount(count));
}
HRESULT StandardAccessible::get_accChild(VARIANT child, IDispatch** dispatch) {
    BUKVOTOK_FORWARD(get_accChild(child, dispatch));
}
HRESULT StandardAccessible::get_accName(VARIANT child, BSTR* name) {
    BUKVOTOK_FORWARD(get_accName(child, name));
}
HRESULT StandardAccessible::get_accValue(VARIANT child, BSTR* value) {
    BUKVOTOK_FORWARD(get_accValue(child, value));
}
HRESULT StandardAccessible::get_accDescription(VARIANT child, BSTR* description) {
    BUKVOTOK_FORWARD(get_accDescription(child, description));
}
HRESULT StandardAccessible::get_accRole(VARIANT child, VARIANT* role) {
    BUKVOTOK_FORWARD(get_accRole(child, role));
}
HRESULT StandardAccessible::get_accState(VARIANT child, VARIANT* state) {
    BUKVOTOK_FORWARD(get_accState(child, state));
}
HRESULT StandardAccessible::get_accHelp(VARIANT child, BSTR* help) {
    BUKVOTOK_FORWARD(get_accHelp(child, help));
}
HRESULT StandardAccessible::get_accHelpTopic(BSTR* file, VARIANT child, long* topic) {
    BUKVOTOK_FORWARD(get_accHelpTopic(file, child, topic));
}
HRESULT StandardAccessible::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) {
    BUKVOTOK_FORWARD(get_accKeyboardShortcut(child, shortcut));
}
HRESULT StandardAccessible::get_accFocus(VARIANT* child) { BUKVOTOK_FORWARD(get_accFocus(child)); }
HRESULT StandardAccessible::get_accSelection(VARIANT* children) {
    BUKVOTOK_FORWARD(get_accSelection(children));
}
HRESULT StandardAccessible::get_accDefaultAction(VARIANT child, BSTR* action) {
    BUKVOTOK_FORWARD(get_accDefaultAction(child, action));
}
HRESULT StandardAccessible::accSelect(long flags, VARIANT child) {
    BUKVOTOK_FORWARD(accSelect(flags, child));
}
HRESULT StandardAccessible::accLocation(long* left, long* top, long* width, long* height,
                                        VARIANT child) {
    BUKVOTOK_FORWARD(accLocation(left, top, width, height, child));
}
HRESULT StandardAccessible::accNavigate(long direction, VARIANT start, VARIANT* end) {
    BUKVOTOK_FORWARD(accNavigate(direction, start, end));
}
HRESULT StandardAccessible::accHitTest(long left, long top, VARIANT* child) {
    BUKVOTOK_FORWARD(accHitTest(left, top, child));
}
HRESULT StandardAccessible::accDoDefaultAction(VARIANT child) {
    BUKVOTOK_FORWARD(accDoDefaultAction(child));
}
HRESULT StandardAccessible::put_accName(VARIANT child, BSTR name) {
    BUKVOTOK_FORWARD(put_accName(child, name));
}
HRESULT StandardAccessible::put_accValue(VARIANT child, BSTR value) {
    BUKVOTOK_FORWARD(put_accValue(child, value));
}

#undef BUKVOTOK_FORWARD

}  // namespace bukvotok::win32
