#include "ResultsBoxAccessible.h"

#include <new>
#include <string>

#include "ResultsBox.h"

namespace bukvotok::win32 {

namespace {

constexpr UINT kCp1251 = 1251;

}  // namespace

ResultsBoxAccessible* ResultsBoxAccessible::Create(ResultsBox& box) {
    IAccessible* const standard = StandardFor(box.Handle());
    if (standard == nullptr) return nullptr;
    auto* made = new (std::nothrow) ResultsBoxAccessible(box, standard);
    if (made == nullptr) standard->Release();
    return made;
}

ResultsBoxAccessible::ResultsBoxAccessible(ResultsBox& box, IAccessible* standard)
    : StandardAccessible(box.Handle(), standard), box_(box) {}

// The window's own text, which the main window sets to what the Qt face gives as the box's
// accessible name; Windows' answer would be the label before it, with its colon.
HRESULT ResultsBoxAccessible::get_accName(VARIANT child, BSTR* name) {
    if (!IsSelf(child)) return StandardAccessible::get_accName(child, name);
    try {
        std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(Window())) + 1, L'\0');
        text.resize(static_cast<std::size_t>(
            ::GetWindowTextW(Window(), text.data(), static_cast<int>(text.size()))));
        return Answer(text, name);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT ResultsBoxAccessible::get_accValue(VARIANT child, BSTR* value) {
    if (!IsSelf(child)) return StandardAccessible::get_accValue(child, value);
    try {
        const ResultsEditor& editor = box_.Editor();
        const ByteSpan span = editor.ValueSpan();
        const std::string bytes = editor.Bytes().Copy(span.from, span.to);
        std::wstring text(bytes.size(), L'\0');
        text.resize(static_cast<std::size_t>(
            ::MultiByteToWideChar(kCp1251, 0, bytes.data(), static_cast<int>(bytes.size()),
                                  text.data(), static_cast<int>(text.size()))));
        return Answer(text, value);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT ResultsBoxAccessible::get_accRole(VARIANT child, VARIANT* role) {
    if (!IsSelf(child)) return StandardAccessible::get_accRole(child, role);
    return Answer(ROLE_SYSTEM_TEXT, role);
}

HRESULT ResultsBoxAccessible::get_accState(VARIANT child, VARIANT* state) {
    const HRESULT result = StandardAccessible::get_accState(child, state);
    if (FAILED(result) || !IsSelf(child) || state->vt != VT_I4) return result;
    long own =
        state->lVal & ~(STATE_SYSTEM_READONLY | STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_FOCUSED);
    if (::IsWindowEnabled(Window())) own |= STATE_SYSTEM_FOCUSABLE;
    if (::GetFocus() == Window()) own |= STATE_SYSTEM_FOCUSED;
    state->lVal = own;
    return result;
}

// Setting the value would replace text the reader chose without the user seeing it, and an
// error on the way would open a box in the middle of the reader's call.
HRESULT ResultsBoxAccessible::put_accValue(VARIANT child, BSTR value) {
    if (!IsSelf(child)) return StandardAccessible::put_accValue(child, value);
    return E_NOTIMPL;
}

}  // namespace bukvotok::win32
