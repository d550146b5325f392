#pragma once
// A window as an OLE drop target: the formats it takes, the effect a drop
// has, and what a drop does (the derived class decides).
#include <windows.h>
#include <ole2.h>
#include <shlobj.h>

#include <vector>

#include "win/ComObject.h"
#include "win/ComRef.h"

namespace KvUI {

// The target lives inside its window object, which alone decides when it
// dies: the count only says how many references OLE holds.
class CIDropTarget : public kvwin::ComObjectNoDelete<IDropTarget> {
public:
    CIDropTarget() = default;
    CIDropTarget(const CIDropTarget&) = delete;
    CIDropTarget& operator=(const CIDropTarget&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL point, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) override;
    ~CIDropTarget() override;
    // What a drop of the matched format does; true lets the caller release the
    // medium, false means the drop kept it.
    virtual bool OnDrop(FORMATETC* format, STGMEDIUM& medium, DWORD* effect) = 0;

    // Registers with OLE for `window` until the window is destroyed, the target
    // is revoked or the target dies, whichever comes first.
    bool RegisterDropTarget(HWND window);
    void RevokeDropTarget();
    HWND GetDropWindow() const { return m_window; }

    // Formats are tried in the order they were added.
    void AddAcceptedFormat(CLIPFORMAT format, DWORD tymed);
    void RemoveAllAcceptedFormats();

private:
    bool QueryDrop(DWORD keys, DWORD* effect);

    bool m_allowDrop = false;
    kvwin::CComRef<IDropTargetHelper> m_helper;
    std::vector<FORMATETC> m_accepted;
    int m_matched = -1;
    HWND m_window = nullptr;
};

// A skinned window's drop support: registers `target` for `window`, taking
// bitmaps, packed DIBs, dropped files and enhanced metafiles, in that order.
bool RegisterImageDropTarget(CIDropTarget& target, HWND window);

// Ends the mouse gesture in `window` and shows the dropped image there
// (STM_SETIMAGE). Returns false only when the window kept the medium's bitmap.
bool DropImageOnWindow(HWND window, const FORMATETC& format, STGMEDIUM& medium);

}  // namespace KvUI
