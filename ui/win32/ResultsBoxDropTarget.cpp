#include "ResultsBoxDropTarget.h"

#include <optional>

#include "GlobalText.h"

namespace bukvotok::win32 {

namespace {

FORMATETC Asked(UINT format) {
    return {static_cast<CLIPFORMAT>(format), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

bool Offers(IDataObject* data, UINT format) {
    FORMATETC asked = Asked(format);
    return data != nullptr && data->QueryGetData(&asked) == S_OK;
}

// Global memory another program gave, released once read.
class Medium {
public:
    Medium(IDataObject* data, UINT format) {
        FORMATETC asked = Asked(format);
        if (FAILED(data->GetData(&asked, &medium_)) || medium_.tymed != TYMED_HGLOBAL) {
            if (medium_.tymed != TYMED_NULL) ::ReleaseStgMedium(&medium_);
            medium_ = {};
        }
    }
    ~Medium() {
        if (medium_.tymed != TYMED_NULL) ::ReleaseStgMedium(&medium_);
    }
    Medium(const Medium&) = delete;
    Medium& operator=(const Medium&) = delete;

    HGLOBAL Memory() const { return medium_.tymed == TYMED_HGLOBAL ? medium_.hGlobal : nullptr; }

private:
    STGMEDIUM medium_{};
};

// The code page of 8-bit text: its locale's, when the program said which, else the system's.
UINT CodePageOf(IDataObject* data) {
    const Medium locale(data, CF_LOCALE);
    const HGLOBAL memory = locale.Memory();
    const auto* lcid = memory != nullptr && ::GlobalSize(memory) >= sizeof(LCID)
                           ? static_cast<const LCID*>(::GlobalLock(memory))
                           : nullptr;
    if (lcid == nullptr) return CP_ACP;
    UINT code_page = 0;
    const int got =
        ::GetLocaleInfoW(*lcid, LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                         reinterpret_cast<LPWSTR>(&code_page), sizeof code_page / sizeof(wchar_t));
    ::GlobalUnlock(memory);
    return got > 0 && code_page != 0 ? code_page : CP_ACP;
}

// Raises bad_alloc.
std::optional<IncomingText> TextOf(IDataObject* data) {
    if (Offers(data, CF_UNICODETEXT)) return UnicodeTextIn(Medium(data, CF_UNICODETEXT).Memory());
    return BytesTextIn(Medium(data, CF_TEXT).Memory(), CodePageOf(data));
}

}  // namespace

DWORD ResultsBoxDropTarget::Effect(DWORD keys, POINTL at, DWORD allowed) {
    if (editor_ == nullptr || !has_text_) return DROPEFFECT_NONE;
    POINT point{at.x, at.y};
    ::ScreenToClient(window_, &point);
    if (!editor_->DragOver({point.x, point.y}, over_own_)) return DROPEFFECT_NONE;
    const bool copy = (keys & MK_CONTROL) != 0 || (allowed & DROPEFFECT_MOVE) == 0;
    if (copy) return allowed & DROPEFFECT_COPY;
    return DROPEFFECT_MOVE;
}

HRESULT ResultsBoxDropTarget::DragEnter(IDataObject* data, DWORD keys, POINTL at, DWORD* effect) {
    if (effect == nullptr) return E_INVALIDARG;
    over_own_ = own_drag_ != nullptr && data == own_drag_;
    has_text_ = Offers(data, CF_UNICODETEXT) || Offers(data, CF_TEXT);
    *effect = Effect(keys, at, *effect);
    return S_OK;
}

HRESULT ResultsBoxDropTarget::DragOver(DWORD keys, POINTL at, DWORD* effect) {
    if (effect == nullptr) return E_INVALIDARG;
    *effect = Effect(keys, at, *effect);
    return S_OK;
}

HRESULT ResultsBoxDropTarget::DragLeave() {
    if (editor_ != nullptr) editor_->DragLeave();
    return S_OK;
}

HRESULT ResultsBoxDropTarget::Drop(IDataObject* data, DWORD keys, POINTL at, DWORD* effect) {
    if (effect == nullptr) return E_INVALIDARG;
    *effect = Effect(keys, at, *effect);
    if (editor_ == nullptr) return S_OK;
    if (*effect == DROPEFFECT_NONE) {
        editor_->DragLeave();
        return S_OK;
    }
    POINT point{at.x, at.y};
    ::ScreenToClient(window_, &point);
    const bool own = over_own_;
    const auto text = [own, data, this]() -> std::optional<IncomingText> {
        if (!own) return TextOf(data);
        IncomingText bytes;
        bytes.own = own_drag_->Bytes();
        return bytes;
    };
    if (!editor_->Drop({point.x, point.y}, own && *effect == DROPEFFECT_MOVE, text)) {
        *effect = DROPEFFECT_NONE;
    }
    dropped_own_ = own && *effect != DROPEFFECT_NONE;
    return S_OK;
}

}  // namespace bukvotok::win32
