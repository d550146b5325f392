#pragma once
// The data a drag started by the window carries: formats with their media,
// held until OLE lets go of the object.
#include <windows.h>
#include <ole2.h>

#include <vector>

#include "ui/core/EnumFormatEtc.h"

#include "win/ComObject.h"

namespace KvUI {

class CIDropSource;

// The count starts at 0 and the last Release deletes the object.
class CIDataObject final : public kvwin::ComObject<IDataObject> {
public:
    // The drop source is only remembered: it is not counted.
    explicit CIDataObject(CIDropSource* source);
    CIDataObject(const CIDataObject&) = delete;
    CIDataObject& operator=(const CIDataObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override;
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC* in, FORMATETC* out) override;
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) override;
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) override;
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC* format, DWORD flags, IAdviseSink* sink,
                                      DWORD* connection) override;
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD connection) override;
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA** out) override;

    CIDropSource* GetDropSource() const { return m_source; }

private:
    ~CIDataObject();

    CIDropSource* m_source;
    // Parallel lists: m_media[i] is the data of m_formats[i].
    std::vector<CFormatEtcCopy> m_formats;
    std::vector<STGMEDIUM> m_media;
};

// A new data object (one reference, for the caller) with a copy of `bitmap`
// as CF_BITMAP and an enhanced metafile of it, recorded against
// `referenceDC`, as CF_ENHMETAFILE. Null when either cannot be made.
CIDataObject* CreateBitmapDataObject(CIDropSource* source, HDC referenceDC, HBITMAP bitmap);

}  // namespace KvUI
