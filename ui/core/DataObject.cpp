#include "ui/core/DataObject.h"

#include <cstring>
#include <cwchar>
#include <new>

#include "win/ComRef.h"
#include "ui/core/RenderGdi.h"

namespace KvUI {
namespace {

LPOLESTR CopyFileName(LPCOLESTR name) {
    if (!name) return nullptr;
    const size_t bytes = (std::wcslen(name) + 1) * sizeof(OLECHAR);
    auto* copy = static_cast<LPOLESTR>(CoTaskMemAlloc(bytes));
    if (copy) std::memcpy(copy, name, bytes);
    return copy;
}

// Gives `to` its own copy of `from`; handles are duplicated, interfaces shared.
HRESULT CopyMedium(const STGMEDIUM& from, CLIPFORMAT format, STGMEDIUM& to) {
    to = STGMEDIUM{};
    switch (from.tymed) {
    case TYMED_HGLOBAL:
    case TYMED_GDI:
    case TYMED_MFPICT:
    case TYMED_ENHMF:
        to.hGlobal = OleDuplicateData(from.hGlobal, format, 0);
        if (!to.hGlobal) return E_OUTOFMEMORY;
        break;
    case TYMED_FILE:
        // A file medium is a task-memory name, not a global block.
        to.lpszFileName = CopyFileName(from.lpszFileName);
        if (from.lpszFileName && !to.lpszFileName) return E_OUTOFMEMORY;
        break;
    case TYMED_ISTREAM:
        to.pstm = from.pstm;
        if (to.pstm) to.pstm->AddRef();
        break;
    case TYMED_ISTORAGE:
        to.pstg = from.pstg;
        if (to.pstg) to.pstg->AddRef();
        break;
    default:
        break;
    }
    to.tymed = from.tymed;
    to.pUnkForRelease = from.pUnkForRelease;
    if (to.pUnkForRelease) to.pUnkForRelease->AddRef();
    return S_OK;
}

// The bitmap drawn 1:1 into an enhanced metafile.
HENHMETAFILE MetafileOfBitmap(HDC referenceDC, HBITMAP bitmap) {
    BITMAP bm{};
    if (!GetObjectW(bitmap, sizeof bm, &bm)) return nullptr;
    const HDC recorder = CreateEnhMetaFileW(referenceDC, nullptr, nullptr, nullptr);
    if (!recorder) return nullptr;
    const UniqueMemoryDC source(CreateCompatibleDC(referenceDC));
    if (source) {
        const ScopedSelect select(source.get(), bitmap);
        BitBlt(recorder, 0, 0, bm.bmWidth, bm.bmHeight, source.get(), 0, 0, SRCCOPY);
    }
    return CloseEnhMetaFile(recorder);
}

}  // namespace

CIDataObject::CIDataObject(CIDropSource* source) : m_source(source) {}

CIDataObject::~CIDataObject() {
    for (STGMEDIUM& medium : m_media) ReleaseStgMedium(&medium);
}

HRESULT CIDataObject::QueryInterface(REFIID iid, void** object) {
    return kvwin::QueryInterfaceFor<IDataObject>(this, iid, object);
}

HRESULT CIDataObject::GetData(FORMATETC* format, STGMEDIUM* medium) {
    if (!format || !medium) return E_INVALIDARG;
    for (size_t i = 0; i < m_formats.size(); ++i) {
        const FORMATETC& held = m_formats[i].Get();
        if ((held.tymed & format->tymed) && held.dwAspect == format->dwAspect &&
            held.cfFormat == format->cfFormat) {
            return CopyMedium(m_media[i], held.cfFormat, *medium);
        }
    }
    return DV_E_FORMATETC;
}

HRESULT CIDataObject::GetDataHere(FORMATETC*, STGMEDIUM*) { return E_NOTIMPL; }

HRESULT CIDataObject::QueryGetData(FORMATETC* format) {
    if (!format) return E_INVALIDARG;
    if (!(format->dwAspect & DVASPECT_CONTENT)) return DV_E_DVASPECT;
    // Without a match the answer describes the last format looked at.
    HRESULT result = DV_E_TYMED;
    for (const CFormatEtcCopy& copy : m_formats) {
        const FORMATETC& held = copy.Get();
        if (!(held.tymed & format->tymed)) {
            result = DV_E_TYMED;
            continue;
        }
        if (held.cfFormat == format->cfFormat) return S_OK;
        result = DV_E_CLIPFORMAT;
    }
    return result;
}

HRESULT CIDataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) {
    return out ? DATA_S_SAMEFORMATETC : E_INVALIDARG;
}

HRESULT CIDataObject::SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) {
    if (!format || !medium) return E_INVALIDARG;
    try {
        CFormatEtcCopy copy(*format);
        m_formats.reserve(m_formats.size() + 1);
        m_media.reserve(m_media.size() + 1);
        STGMEDIUM stored = *medium;
        if (!release) {
            const HRESULT hr = CopyMedium(*medium, format->cfFormat, stored);
            if (FAILED(hr)) return hr;
        }
        // Room is reserved in both lists, so they cannot get out of step here.
        m_formats.push_back(std::move(copy));
        m_media.push_back(stored);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

HRESULT CIDataObject::EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (direction != DATADIR_GET) return E_NOTIMPL;
    try {
        *out = new CEnumFormatEtc(m_formats);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    (*out)->AddRef();
    return S_OK;
}

HRESULT CIDataObject::DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) {
    return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT CIDataObject::DUnadvise(DWORD) { return E_NOTIMPL; }

HRESULT CIDataObject::EnumDAdvise(IEnumSTATDATA**) { return OLE_E_ADVISENOTSUPPORTED; }

CIDataObject* CreateBitmapDataObject(CIDropSource* source, HDC referenceDC, HBITMAP bitmap) {
    if (!bitmap) return nullptr;
    kvwin::CComRef<CIDataObject> data;
    try {
        data.Reset(new CIDataObject(source));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    data->AddRef();

    FORMATETC bitmapFormat{CF_BITMAP, nullptr, DVASPECT_CONTENT, -1, TYMED_GDI};
    STGMEDIUM bitmapMedium{};
    bitmapMedium.tymed = TYMED_GDI;
    bitmapMedium.hBitmap = bitmap;
    if (FAILED(data->SetData(&bitmapFormat, &bitmapMedium, FALSE))) return nullptr;

    FORMATETC metafileFormat{CF_ENHMETAFILE, nullptr, DVASPECT_CONTENT, -1, TYMED_ENHMF};
    STGMEDIUM metafileMedium{};
    metafileMedium.tymed = TYMED_ENHMF;
    kvwin::UniqueEnhMetaFile metafile(MetafileOfBitmap(referenceDC, bitmap));
    if (!metafile) return nullptr;
    metafileMedium.hEnhMetaFile = metafile.get();
    if (FAILED(data->SetData(&metafileFormat, &metafileMedium, TRUE))) return nullptr;
    // The data object took the metafile over.
    metafile.release();
    return data.Detach();
}

}  // namespace KvUI
