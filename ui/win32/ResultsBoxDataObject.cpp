#include "ResultsBoxDataObject.h"

#include <shlobj.h>

#include <algorithm>
#include <array>

#include "GlobalText.h"

namespace bukvotok::win32 {

namespace {

FORMATETC Offered(UINT format) {
    return {static_cast<CLIPFORMAT>(format), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

bool IsOffered(const FORMATETC* format) {
    return format != nullptr && format->dwAspect == DVASPECT_CONTENT &&
           (format->tymed & TYMED_HGLOBAL) != 0 &&
           std::find(kTextFormats.begin(), kTextFormats.end(), format->cfFormat) !=
               kTextFormats.end();
}

}  // namespace

HRESULT ResultsBoxDataObject::GetData(FORMATETC* format, STGMEDIUM* medium) {
    if (medium == nullptr) return E_POINTER;
    if (!IsOffered(format)) return DV_E_FORMATETC;
    GlobalMemory memory = TextMemoryOf(bytes_, format->cfFormat);
    if (!memory) return E_OUTOFMEMORY;
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = memory.Take();  // the caller's, who frees it with ReleaseStgMedium
    medium->pUnkForRelease = nullptr;
    return S_OK;
}

HRESULT ResultsBoxDataObject::GetDataHere(FORMATETC*, STGMEDIUM*) { return E_NOTIMPL; }

HRESULT ResultsBoxDataObject::QueryGetData(FORMATETC* format) {
    return IsOffered(format) ? S_OK : DV_E_FORMATETC;
}

HRESULT ResultsBoxDataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* canonical) {
    if (canonical == nullptr) return E_POINTER;
    canonical->ptd = nullptr;
    return DATA_S_SAMEFORMATETC;
}

HRESULT ResultsBoxDataObject::SetData(FORMATETC*, STGMEDIUM*, BOOL) { return E_NOTIMPL; }

HRESULT ResultsBoxDataObject::EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) {
    if (formats == nullptr) return E_POINTER;
    *formats = nullptr;
    if (direction != DATADIR_GET) return E_NOTIMPL;
    std::array<FORMATETC, kTextFormats.size()> offered{};
    std::transform(kTextFormats.begin(), kTextFormats.end(), offered.begin(), Offered);
    return ::SHCreateStdEnumFmtEtc(static_cast<UINT>(offered.size()), offered.data(), formats);
}

HRESULT ResultsBoxDataObject::DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) {
    return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT ResultsBoxDataObject::DUnadvise(DWORD) { return OLE_E_ADVISENOTSUPPORTED; }

HRESULT ResultsBoxDataObject::EnumDAdvise(IEnumSTATDATA**) { return OLE_E_ADVISENOTSUPPORTED; }

}  // namespace bukvotok::win32
