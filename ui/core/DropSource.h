#pragma once
// The source side of a drag the window starts: OLE asks it whether the drag
// goes on and which cursor to show.
#include <windows.h>
#include <ole2.h>

#include "win/ComObject.h"

namespace KvUI {

// The count starts at 0 and the last Release deletes the object.
class CIDropSource final : public kvwin::ComObject<IDropSource> {
public:
    CIDropSource() = default;
    CIDropSource(const CIDropSource&) = delete;
    CIDropSource& operator=(const CIDropSource&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escapePressed, DWORD keyState) override;
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD effect) override;

    // True once the buttons were let go over a target.
    bool IsDropped() const { return m_dropped; }

private:
    ~CIDropSource() = default;

    bool m_dropped = false;
};

// Drags an image out of a window: OLE's modal drag loop runs with a data
// object holding `bitmap` (copied) and the shell's drag image made from it,
// until the user drops or cancels. Returns the effect the target reported.
DWORD DragBitmapOut(HDC referenceDC, HBITMAP bitmap);

}  // namespace KvUI
