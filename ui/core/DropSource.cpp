#include "ui/core/DropSource.h"

#include <shlobj.h>

#include <new>

#include "ui/core/ComRef.h"
#include "ui/core/DataObject.h"

namespace KvUI {

HRESULT CIDropSource::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropSource)) {
        *object = static_cast<IDropSource*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG CIDropSource::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&m_refs)); }

ULONG CIDropSource::Release() {
    const LONG refs = InterlockedDecrement(&m_refs);
    if (refs == 0) delete this;
    return static_cast<ULONG>(refs);
}

HRESULT CIDropSource::QueryContinueDrag(BOOL escapePressed, DWORD keyState) {
    if (escapePressed) return DRAGDROP_S_CANCEL;
    if (!(keyState & (MK_LBUTTON | MK_RBUTTON))) {
        m_dropped = true;
        return DRAGDROP_S_DROP;
    }
    return S_OK;
}

HRESULT CIDropSource::GiveFeedback(DWORD) { return DRAGDROP_S_USEDEFAULTCURSORS; }

DWORD DragBitmapOut(HDC referenceDC, HBITMAP bitmap) {
    CComRef<CIDropSource> source;
    try {
        source.Reset(new CIDropSource());
    } catch (const std::bad_alloc&) {
        return DROPEFFECT_NONE;
    }
    source->AddRef();
    CComRef<CIDataObject> data(CreateBitmapDataObject(source.Get(), referenceDC, bitmap));
    if (!data) return DROPEFFECT_NONE;

    CComRef<IDragSourceHelper> helper;
    if (SUCCEEDED(CoCreateInstance(CLSID_DragDropHelper, nullptr, CLSCTX_INPROC_SERVER, IID_IDragSourceHelper,
                                   helper.ReceiveVoid()))) {
        BITMAP bm{};
        GetObjectW(bitmap, sizeof bm, &bm);
        SHDRAGIMAGE image{};
        image.sizeDragImage = SIZE{bm.bmWidth, bm.bmHeight};
        image.ptOffset = POINT{bm.bmWidth / 2, bm.bmHeight / 2};
        // The helper keeps the bitmap it is given, so it gets its own copy.
        image.hbmpDragImage = static_cast<HBITMAP>(CopyImage(bitmap, IMAGE_BITMAP, 0, 0, 0));
        image.crColorKey = GetSysColor(COLOR_WINDOW);
        if (image.hbmpDragImage && FAILED(helper->InitializeFromBitmap(&image, data.Get()))) {
            DeleteObject(image.hbmpDragImage);
        }
    }

    DWORD effect = DROPEFFECT_NONE;
    if (DoDragDrop(data.Get(), source.Get(), DROPEFFECT_COPY | DROPEFFECT_MOVE, &effect) != DRAGDROP_S_DROP) {
        return DROPEFFECT_NONE;
    }
    return effect;
}

}  // namespace KvUI
