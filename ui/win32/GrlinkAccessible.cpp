#include "GrlinkAccessible.h"

#include <string>

#include "Grlink.h"

namespace bukvotok::win32 {

namespace {

// A BSTR of `text`, or S_FALSE for none.
HRESULT Answer(const std::wstring& text, BSTR* out) {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (text.empty()) return S_FALSE;
    *out = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT Answer(long value, VARIANT* out) {
    if (out == nullptr) return E_POINTER;
    ::VariantInit(out);
    out->vt = VT_I4;
    out->lVal = value;
    return S_OK;
}

}  // namespace

GrlinkAccessible* GrlinkAccessible::Create(TGrlink& link) {
    IAccessible* standard = nullptr;
    if (FAILED(::CreateStdAccessibleObject(link.Handle(), OBJID_CLIENT, __uuidof(IAccessible),
                                           reinterpret_cast<void**>(&standard)))) {
        return nullptr;
    }
    return new (std::nothrow) GrlinkAccessible(link, standard);
}

GrlinkAccessible::GrlinkAccessible(TGrlink& link, IAccessible* standard)
    : link_(&link), standard_(standard) {}

GrlinkAccessible::~GrlinkAccessible() { standard_->Release(); }

void GrlinkAccessible::Disconnect() { link_ = nullptr; }

LRESULT GrlinkAccessible::Lresult(WPARAM flags) {
    return ::LresultFromObject(__uuidof(IAccessible), flags, static_cast<IAccessible*>(this));
}

bool GrlinkAccessible::IsLink(const VARIANT& child) const {
    return link_ != nullptr && child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

HRESULT GrlinkAccessible::QueryInterface(REFIID id, void** object) {
    if (object == nullptr) return E_POINTER;
    if (id == __uuidof(IUnknown) || id == __uuidof(IDispatch) || id == __uuidof(IAccessible)) {
        *object = static_cast<IAccessible*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG GrlinkAccessible::AddRef() {
    return static_cast<ULONG>(::InterlockedIncrement(&references_));
}

ULONG GrlinkAccessible::Release() {
    const LONG left = ::InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
}

HRESULT GrlinkAccessible::get_accName(VARIANT child, BSTR* name) {
    if (!IsLink(child)) return link_ ? standard_->get_accName(child, name) : CO_E_OBJNOTCONNECTED;
    return Answer(link_->CaptionText(), name);
}

HRESULT GrlinkAccessible::get_accValue(VARIANT child, BSTR* value) {
    if (!IsLink(child)) return link_ ? standard_->get_accValue(child, value) : CO_E_OBJNOTCONNECTED;
    return Answer(link_->Target(), value);
}

HRESULT GrlinkAccessible::get_accDescription(VARIANT child, BSTR* description) {
    if (!IsLink(child)) {
        return link_ ? standard_->get_accDescription(child, description) : CO_E_OBJNOTCONNECTED;
    }
    const std::wstring target = link_->Target();
    return Answer(target == link_->CaptionText() ? std::wstring() : target, description);
}

HRESULT GrlinkAccessible::get_accRole(VARIANT child, VARIANT* role) {
    if (!IsLink(child)) return link_ ? standard_->get_accRole(child, role) : CO_E_OBJNOTCONNECTED;
    return Answer(ROLE_SYSTEM_LINK, role);
}

HRESULT GrlinkAccessible::get_accState(VARIANT child, VARIANT* state) {
    if (link_ == nullptr) return CO_E_OBJNOTCONNECTED;
    const HRESULT result = standard_->get_accState(child, state);
    if (SUCCEEDED(result) && IsLink(child) && state->vt == VT_I4) {
        state->lVal = (state->lVal | STATE_SYSTEM_LINKED) & ~STATE_SYSTEM_FOCUSABLE;
    }
    return result;
}

HRESULT GrlinkAccessible::get_accDefaultAction(VARIANT child, BSTR* action) {
    if (!IsLink(child)) {
        return link_ ? standard_->get_accDefaultAction(child, action) : CO_E_OBJNOTCONNECTED;
    }
    return Answer(link_->Target().empty() ? std::wstring() : std::wstring(L"Перейти"), action);
}

HRESULT GrlinkAccessible::accDoDefaultAction(VARIANT child) {
    if (!IsLink(child)) return link_ ? standard_->accDoDefaultAction(child) : CO_E_OBJNOTCONNECTED;
    return ::PostMessageW(link_->Handle(), kActivateMessage, 0, 0) ? S_OK : E_FAIL;
}

// The rest is Windows' own answer for the link's window.
#define BUKVOTOK_FORWARD(call)                         \
    if (link_ == nullptr) return CO_E_OBJNOTCONNECTED; \
    return standard_->call

HRESULT GrlinkAccessible::GetTypeInfoCount(UINT* count) {
    BUKVOTOK_FORWARD(GetTypeInfoCount(count));
}
HRESULT GrlinkAccessible::GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) {
    BUKVOTOK_FORWARD(GetTypeInfo(index, locale, info));
}
HRESULT GrlinkAccessible::GetIDsOfNames(REFIID id, LPOLESTR* names, UINT count, LCID locale,
                                        DISPID* ids) {
    BUKVOTOK_FORWARD(GetIDsOfNames(id, names, count, locale, ids));
}
HRESULT GrlinkAccessible::Invoke(DISPID member, REFIID id, LCID locale, WORD flags,
                                 DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* exception,
                                 UINT* wrong_argument) {
    BUKVOTOK_FORWARD(
        Invoke(member, id, locale, flags, parameters, result, exception, wrong_argument));
}
HRESULT GrlinkAccessible::get_accParent(IDispatch** parent) {
    BUKVOTOK_FORWARD(get_accParent(parent));
}
HRESULT GrlinkAccessible::get_accChildCount(long* count) {
    BUKVOTOK_FORWARD(get_accChildCount(count));
}
HRESULT GrlinkAccessible::get_accChild(VARIANT child, IDispatch** dispatch) {
    BUKVOTOK_FORWARD(get_accChild(child, dispatch));
}
HRESULT GrlinkAccessible::get_accHelp(VARIANT child, BSTR* help) {
    BUKVOTOK_FORWARD(get_accHelp(child, help));
}
HRESULT GrlinkAccessible::get_accHelpTopic(BSTR* file, VARIANT child, long* topic) {
    BUKVOTOK_FORWARD(get_accHelpTopic(file, child, topic));
}
HRESULT GrlinkAccessible::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) {
    BUKVOTOK_FORWARD(get_accKeyboardShortcut(child, shortcut));
}
HRESULT GrlinkAccessible::get_accFocus(VARIANT* child) { BUKVOTOK_FORWARD(get_accFocus(child)); }
HRESULT GrlinkAccessible::get_accSelection(VARIANT* children) {
    BUKVOTOK_FORWARD(get_accSelection(children));
}
HRESULT GrlinkAccessible::accSelect(long flags, VARIANT child) {
    BUKVOTOK_FORWARD(accSelect(flags, child));
}
HRESULT GrlinkAccessible::accLocation(long* left, long* top, long* width, long* height,
                                      VARIANT child) {
    BUKVOTOK_FORWARD(accLocation(left, top, width, height, child));
}
HRESULT GrlinkAccessible::accNavigate(long direction, VARIANT start, VARIANT* end) {
    BUKVOTOK_FORWARD(accNavigate(direction, start, end));
}
HRESULT GrlinkAccessible::accHitTest(long left, long top, VARIANT* child) {
    BUKVOTOK_FORWARD(accHitTest(left, top, child));
}
HRESULT GrlinkAccessible::put_accName(VARIANT child, BSTR name) {
    BUKVOTOK_FORWARD(put_accName(child, name));
}
HRESULT GrlinkAccessible::put_accValue(VARIANT child, BSTR value) {
    BUKVOTOK_FORWARD(put_accValue(child, value));
}

#undef BUKVOTOK_FORWARD

}  // namespace bukvotok::win32
