#pragma once
#include <windows.h>
#include <ocidl.h>
#include <ole2.h>

#include <memory>

#include "win/ComObject.h"
#include "win/ComRef.h"
#include "win/UniqueHandle.h"

namespace KvUI {

class CActiveXUI;
class CActiveXWnd;

// The container side of one hosted object: its client site, in-place site
// (windowed or windowless), control site, object site and container. It lives
// as long as anyone holds a reference; its owner clears the owner pointer when
// it lets go, so late calls from the object answer E_UNEXPECTED.
class CActiveXCtrl : public kvwin::ComObject<IOleClientSite, IOleInPlaceSiteWindowless, IOleControlSite,
                                             IObjectWithSite, IOleContainer> {
public:
    explicit CActiveXCtrl(CActiveXUI* owner);

    CActiveXUI* GetOwner() const { return m_owner; }
    // The control lets go: what the site holds of the object goes with it.
    void ClearOwner();
    void SetViewObject(IUnknown* object);
    IViewObject* GetViewObject() const { return m_viewObject.Get(); }
    IOleInPlaceObject* GetInPlaceObject() const { return m_inPlaceObject.Get(); }
    // The windowless in-place object while one is active in place, else null.
    IOleInPlaceObjectWindowless* GetWindowlessObject() const;
    bool IsWindowless() const { return m_windowless; }
    bool IsInPlaceActive() const { return m_inPlaceActive; }
    bool IsUIActive() const { return m_uiActive; }
    bool IsCaptured() const { return m_captured; }
    void SetFocused(bool focused) { m_focused = focused; }
    // Draws the view object into `dc` over `rc`.
    void DrawView(HDC dc, const RECT& rc) const;

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;

    // IOleClientSite
    STDMETHODIMP SaveObject() override;
    STDMETHODIMP GetMoniker(DWORD assign, DWORD which, IMoniker** moniker) override;
    STDMETHODIMP GetContainer(IOleContainer** container) override;
    STDMETHODIMP ShowObject() override;
    STDMETHODIMP OnShowWindow(BOOL show) override;
    STDMETHODIMP RequestNewObjectLayout() override;

    // IOleWindow
    STDMETHODIMP GetWindow(HWND* window) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL enterMode) override;

    // IOleInPlaceSite
    STDMETHODIMP CanInPlaceActivate() override;
    STDMETHODIMP OnInPlaceActivate() override;
    STDMETHODIMP OnUIActivate() override;
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, LPRECT position,
                                  LPRECT clip, LPOLEINPLACEFRAMEINFO frameInfo) override;
    STDMETHODIMP Scroll(SIZE extent) override;
    STDMETHODIMP OnUIDeactivate(BOOL undoable) override;
    STDMETHODIMP OnInPlaceDeactivate() override;
    STDMETHODIMP DiscardUndoState() override;
    STDMETHODIMP DeactivateAndUndo() override;
    STDMETHODIMP OnPosRectChange(LPCRECT position) override;

    // IOleInPlaceSiteEx
    STDMETHODIMP OnInPlaceActivateEx(BOOL* noRedraw, DWORD flags) override;
    STDMETHODIMP OnInPlaceDeactivateEx(BOOL noRedraw) override;
    STDMETHODIMP RequestUIActivate() override;

    // IOleInPlaceSiteWindowless
    STDMETHODIMP CanWindowlessActivate() override;
    STDMETHODIMP GetCapture() override;
    STDMETHODIMP SetCapture(BOOL capture) override;
    STDMETHODIMP GetFocus() override;
    STDMETHODIMP SetFocus(BOOL focus) override;
    STDMETHODIMP GetDC(LPCRECT rect, DWORD flags, HDC* dc) override;
    STDMETHODIMP ReleaseDC(HDC dc) override;
    STDMETHODIMP InvalidateRect(LPCRECT rect, BOOL erase) override;
    STDMETHODIMP InvalidateRgn(HRGN region, BOOL erase) override;
    STDMETHODIMP ScrollRect(INT dx, INT dy, LPCRECT scroll, LPCRECT clip) override;
    STDMETHODIMP AdjustRect(LPRECT rect) override;
    STDMETHODIMP OnDefWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

    // IOleControlSite
    STDMETHODIMP OnControlInfoChanged() override;
    STDMETHODIMP LockInPlaceActive(BOOL lock) override;
    STDMETHODIMP GetExtendedControl(IDispatch** control) override;
    STDMETHODIMP TransformCoords(POINTL* himetric, POINTF* container, DWORD flags) override;
    STDMETHODIMP TranslateAccelerator(MSG* msg, DWORD modifiers) override;
    STDMETHODIMP OnFocus(BOOL gotFocus) override;
    STDMETHODIMP ShowPropertyFrame() override;

    // IObjectWithSite
    STDMETHODIMP SetSite(IUnknown* site) override;
    STDMETHODIMP GetSite(REFIID iid, void** site) override;

    // IOleContainer
    STDMETHODIMP ParseDisplayName(IBindCtx* context, LPOLESTR name, ULONG* eaten, IMoniker** moniker) override;
    STDMETHODIMP EnumObjects(DWORD flags, IEnumUnknown** objects) override;
    STDMETHODIMP LockContainer(BOOL lock) override;

private:
    ~CActiveXCtrl() override;

    HRESULT CreateNativeWindow();
    void DestroyNativeWindow();
    // The owner's rectangle as the object sees it: moved to the origin for a
    // windowed object, whose window already sits there.
    RECT ObjectRect() const;

    CActiveXUI* m_owner;
    std::unique_ptr<CActiveXWnd> m_window;
    kvwin::CComRef<IUnknown> m_outerSite;
    kvwin::CComRef<IViewObject> m_viewObject;
    kvwin::CComRef<IOleInPlaceObject> m_inPlaceObject;
    // Handed to the object in its frame information; it may use it as long as
    // it is active in place, so the site keeps it until it goes.
    kvwin::UniqueAccelerators m_accelerators;
    bool m_locked = false;
    bool m_focused = false;
    bool m_captured = false;
    bool m_uiActive = false;
    bool m_inPlaceActive = false;
    bool m_windowless = true;
};

}  // namespace KvUI
