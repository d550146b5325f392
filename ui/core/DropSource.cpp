#include "ui/core/DropSource.h"

#include <shlobj.h>

#include <new>

#include "win/ComRef.h"
#include "ui/core/DataObject.h"
#include "ui/core/RenderGdi.h"

namespace KvUI {

HRESULT CIDropSource::QueryInterface(REFIID iid, void** object) {
    return kvwin::QueryInterfaceFor<IDropSource>(this, iid, object);
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
    kvwin::CComRef<CIDropSource> source;
    try {
        source.Reset(new CIDropSource());
    } catch (const std::bad_alloc&) {
        return DROPEFFECT_NONE;
    }
    source->AddRef();
    kvwin::CComRef<CIDataObject> data(CreateBitmapDataObject(source.Get(), referenceDC, bitmap));
    if (!data) return DROPEFFECT_NONE;

    kvwin::CComRef<IDragSourceHelper> helper;
    if (SUCCEEDED(CoCreateInstance(CLSID_DragDropHelper, nullptr, CLSCTX_INPROC_SERVER, IID_IDragSourceHelper,
                                   helper.ReceiveVoid()))) {
        BITMAP bm{};
        GetObjectW(bitmap, sizeof bm, &bm);
        SHDRAGIMAGE image{};
        image.sizeDragImage = SIZE{bm.bmWidth, bm.bmHeight};
        image.ptOffset = POINT{bm.bmWidth / 2, bm.bmHeight / 2};
        // The helper keeps the bitmap it is given, so it gets its own copy.
        UniqueBitmap copy(static_cast<HBITMAP>(CopyImage(bitmap, IMAGE_BITMAP, 0, 0, 0)));
        image.hbmpDragImage = copy.get();
        image.crColorKey = GetSysColor(COLOR_WINDOW);
        if (copy && SUCCEEDED(helper->InitializeFromBitmap(&image, data.Get()))) copy.release();
    }

    DWORD effect = DROPEFFECT_NONE;
    if (DoDragDrop(data.Get(), source.Get(), DROPEFFECT_COPY | DROPEFFECT_MOVE, &effect) != DRAGDROP_S_DROP) {
        return DROPEFFECT_NONE;
    }
    return effect;
}

}  // namespace KvUI
