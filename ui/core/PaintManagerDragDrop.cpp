// The paint manager's part in OLE drag and drop: the window takes dropped
// images, and a control with dragging enabled can be dragged out as a picture.
#include "ui/core/DropSource.h"
#include "ui/core/DropTarget.h"
#include "ui/core/PaintManagerUI.h"

namespace KvUI {

bool CPaintManagerUI::InitDragDrop() { return RegisterImageDropTarget(*this, m_paintWnd); }

bool CPaintManagerUI::OnDrop(FORMATETC* format, STGMEDIUM& medium, DWORD* effect) {
    (void)effect;
    return !format || DropImageOnWindow(m_paintWnd, *format, medium);
}

void CPaintManagerUI::StartDrag() {
    ReleaseCapture();
    if (m_dragBitmap) DragBitmapOut(m_paintDC.get(), m_dragBitmap.get());
    m_dragPending = false;
}

}  // namespace KvUI
