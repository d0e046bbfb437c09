// The box's selection on its way out in a drag, as OLE's data object.  It holds a snapshot that
// shares the text's blocks, so that a drag of gigabytes starts at once and drops the bytes
// dragged whatever the text does meanwhile; the text is made for the program it is dropped on
// only when that program asks, as the clipboard's is (GlobalText), whole or not at all.
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <objidl.h>

#include "BlockBytes.h"
#include "ComObject.h"

namespace bukvotok::win32 {

class ResultsBoxDataObject final : public ComObject<IDataObject> {
public:
    explicit ResultsBoxDataObject(const BlockBytes& bytes) : bytes_(bytes) {}

    const BlockBytes& Bytes() const { return bytes_; }

    // Given in global memory only, each time asked for; E_OUTOFMEMORY when there is no room for
    // it, and the program that asked finds no text.
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override;
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC* format,
                                                    FORMATETC* canonical) override;
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) override;
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) override;
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC* format, DWORD flags, IAdviseSink* sink,
                                      DWORD* connection) override;
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD connection) override;
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA** advises) override;

private:
    const BlockBytes bytes_;
};

}  // namespace bukvotok::win32
