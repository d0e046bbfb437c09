#include "GrlinkAccessible.h"

#include <new>
#include <string>

#include "Grlink.h"

namespace bukvotok::win32 {

GrlinkAccessible* GrlinkAccessible::Create(TGrlink& link) {
    IAccessible* const standard = StandardFor(link.Handle());
    if (standard == nullptr) return nullptr;
    auto* made = new (std::nothrow) GrlinkAccessible(link, standard);
    if (made == nullptr) standard->Release();
    return made;
}

GrlinkAccessible::GrlinkAccessible(TGrlink& link, IAccessible* standard)
    : StandardAccessible(link.Handle(), standard), link_(link) {}

HRESULT GrlinkAccessible::get_accName(VARIANT child, BSTR* name) {
    if (!IsSelf(child)) return StandardAccessible::get_accName(child, name);
    return Answer(link_.CaptionText(), name);
}

HRESULT GrlinkAccessible::get_accValue(VARIANT child, BSTR* value) {
    if (!IsSelf(child)) return StandardAccessible::get_accValue(child, value);
    return Answer(link_.Target(), value);
}

HRESULT GrlinkAccessible::get_accDescription(VARIANT child, BSTR* description) {
    if (!IsSelf(child)) return StandardAccessible::get_accDescription(child, description);
    const std::wstring target = link_.Target();
    return Answer(target == link_.CaptionText() ? std::wstring() : target, description);
}

HRESULT GrlinkAccessible::get_accRole(VARIANT child, VARIANT* role) {
    if (!IsSelf(child)) return StandardAccessible::get_accRole(child, role);
    return Answer(ROLE_SYSTEM_LINK, role);
}

HRESULT GrlinkAccessible::get_accState(VARIANT child, VARIANT* state) {
    const HRESULT result = StandardAccessible::get_accState(child, state);
    if (SUCCEEDED(result) && IsSelf(child) && state->vt == VT_I4) {
        state->lVal = (state->lVal | STATE_SYSTEM_LINKED) & ~STATE_SYSTEM_FOCUSABLE;
    }
    return result;
}

HRESULT GrlinkAccessible::get_accDefaultAction(VARIANT child, BSTR* action) {
    if (!IsSelf(child)) return StandardAccessible::get_accDefaultAction(child, action);
    return Answer(link_.Target().empty() ? std::wstring() : std::wstring(L"Перейти"), action);
}

HRESULT GrlinkAccessible::accDoDefaultAction(VARIANT child) {
    if (!IsSelf(child)) return StandardAccessible::accDoDefaultAction(child);
    return ::PostMessageW(link_.Handle(), kActivateMessage, 0, 0) ? S_OK : E_FAIL;
}

}  // namespace bukvotok::win32
