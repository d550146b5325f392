#include "ui/controls/ActiveXCtrl.h"

#include "ui/controls/ActiveXUI.h"
#include "ui/controls/ActiveXWnd.h"
#include "ui/core/PaintManagerUI.h"
#include "win/GdiOwners.h"

namespace KvUI {
namespace {

using kvwin::CComRef;

HWND PaintWindowOf(const CActiveXUI* owner) {
    return owner && owner->GetManager() ? owner->GetManager()->GetPaintWindow() : nullptr;
}

// The in-place frame handed to the object. It reaches its control through the
// site, so an object that keeps it after the control is gone gets E_UNEXPECTED.
class CActiveXFrameWnd : public kvwin::ComObject<IOleInPlaceFrame> {
public:
    explicit CActiveXFrameWnd(CActiveXCtrl* site) : m_site(CComRef<CActiveXCtrl>::Share(site)) {}

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        return kvwin::QueryInterfaceFor<IOleInPlaceFrame, IOleInPlaceUIWindow, IOleWindow>(this, iid, out);
    }
    STDMETHODIMP GetWindow(HWND* window) override {
        if (!window) return E_POINTER;
        *window = PaintWindowOf(m_site->GetOwner());
        return *window ? S_OK : E_UNEXPECTED;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return S_OK; }
    STDMETHODIMP GetBorder(LPRECT) override { return S_OK; }
    STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
    STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR) override {
        m_activeObject = CComRef<IOleInPlaceActiveObject>::Share(object);
        return S_OK;
    }
    STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return S_OK; }
    STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    STDMETHODIMP RemoveMenus(HMENU) override { return S_OK; }
    STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
    STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

private:
    CComRef<CActiveXCtrl> m_site;
    CComRef<IOleInPlaceActiveObject> m_activeObject;
};

// Lists the one object of the container.
class CActiveXEnum : public kvwin::ComObject<IEnumUnknown> {
public:
    explicit CActiveXEnum(IUnknown* object) : m_object(CComRef<IUnknown>::Share(object)) {}

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        return kvwin::QueryInterfaceFor<IEnumUnknown>(this, iid, out);
    }
    // Whatever the count asked, the one object comes once after a reset.
    STDMETHODIMP Next(ULONG, IUnknown** objects, ULONG* fetched) override {
        if (!objects) return E_POINTER;
        const bool first = m_position++ == 0;
        if (fetched) *fetched = first ? 1 : 0;
        if (!first) return S_FALSE;
        *objects = m_object.Get();
        m_object->AddRef();
        return S_OK;
    }
    STDMETHODIMP Skip(ULONG count) override {
        m_position += count;
        return S_OK;
    }
    STDMETHODIMP Reset() override {
        m_position = 0;
        return S_OK;
    }
    STDMETHODIMP Clone(IEnumUnknown**) override { return E_NOTIMPL; }

private:
    ULONG m_position = 0;
    CComRef<IUnknown> m_object;
};

}  // namespace

CActiveXCtrl::CActiveXCtrl(CActiveXUI* owner) : m_owner(owner) {}

CActiveXCtrl::~CActiveXCtrl() { DestroyNativeWindow(); }

void CActiveXCtrl::ClearOwner() {
    // An object that keeps its site would otherwise be kept alive by the
    // site's view of it.
    DestroyNativeWindow();
    m_inPlaceObject.Reset();
    m_viewObject.Reset();
    m_outerSite.Reset();
    m_inPlaceActive = false;
    m_owner = nullptr;
}

void CActiveXCtrl::SetViewObject(IUnknown* object) {
    m_viewObject.Reset();
    if (!object) return;
    for (const IID& iid : {IID_IViewObjectEx, IID_IViewObject2, IID_IViewObject}) {
        if (SUCCEEDED(object->QueryInterface(iid, m_viewObject.ReceiveVoid()))) return;
    }
}

IOleInPlaceObjectWindowless* CActiveXCtrl::GetWindowlessObject() const {
    // Queried as the windowless interface when activated windowless.
    return m_windowless && m_inPlaceActive ? static_cast<IOleInPlaceObjectWindowless*>(m_inPlaceObject.Get())
                                           : nullptr;
}

void CActiveXCtrl::DrawView(HDC dc, const RECT& rc) const {
    if (!m_viewObject) return;
    const RECTL bounds = {rc.left, rc.top, rc.right, rc.bottom};
    m_viewObject->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc, &bounds, &bounds, nullptr, 0);
}

STDMETHODIMP CActiveXCtrl::QueryInterface(REFIID iid, void** out) {
    return kvwin::QueryInterfaceFor<IOleInPlaceSiteWindowless, IOleInPlaceSiteEx, IOleInPlaceSite, IOleWindow,
                                    IOleClientSite, IOleControlSite, IOleContainer, IObjectWithSite>(this, iid, out);
}

// ---- IOleClientSite ----

STDMETHODIMP CActiveXCtrl::SaveObject() { return E_NOTIMPL; }

STDMETHODIMP CActiveXCtrl::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
    if (moniker) *moniker = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CActiveXCtrl::GetContainer(IOleContainer** container) {
    if (!container) return E_POINTER;
    *container = nullptr;
    if (m_outerSite && SUCCEEDED(m_outerSite->QueryInterface(IID_IOleContainer, reinterpret_cast<void**>(container)))) {
        return S_OK;
    }
    return QueryInterface(IID_IOleContainer, reinterpret_cast<void**>(container));
}

STDMETHODIMP CActiveXCtrl::ShowObject() {
    if (!m_owner) return E_UNEXPECTED;
    // Without a host window GetDC would give the whole screen.
    if (!m_owner->m_hostWindow) return E_FAIL;
    const kvwin::WindowDC dc(m_owner->m_hostWindow);
    if (!dc) return E_FAIL;
    DrawView(dc.get(), m_owner->GetPos());
    return S_OK;
}

STDMETHODIMP CActiveXCtrl::OnShowWindow(BOOL) { return E_NOTIMPL; }
STDMETHODIMP CActiveXCtrl::RequestNewObjectLayout() { return E_NOTIMPL; }

// ---- IOleWindow ----

STDMETHODIMP CActiveXCtrl::GetWindow(HWND* window) {
    if (!window) return E_POINTER;
    *window = nullptr;
    if (!m_owner) return E_UNEXPECTED;
    if (!m_owner->m_hostWindow) CreateNativeWindow();
    *window = m_owner->m_hostWindow;
    return *window ? S_OK : E_FAIL;
}

STDMETHODIMP CActiveXCtrl::ContextSensitiveHelp(BOOL) { return S_OK; }

// ---- IOleInPlaceSite ----

STDMETHODIMP CActiveXCtrl::CanInPlaceActivate() { return S_OK; }
STDMETHODIMP CActiveXCtrl::OnInPlaceActivate() { return OnInPlaceActivateEx(nullptr, 0); }

STDMETHODIMP CActiveXCtrl::OnUIActivate() {
    m_uiActive = true;
    return S_OK;
}

STDMETHODIMP CActiveXCtrl::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                            LPRECT position, LPRECT clip, LPOLEINPLACEFRAMEINFO frameInfo) {
    if (!frame || !document || !position || !clip || !frameInfo) return E_POINTER;
    *frame = nullptr;
    *document = nullptr;
    if (!m_owner) return E_UNEXPECTED;
    if (m_window) {
        GetClientRect(*m_window, position);
        *clip = *position;
    }
    *frame = new CActiveXFrameWnd(this);
    (*frame)->AddRef();
    if (!m_accelerators) {
        ACCEL none = {};
        m_accelerators.reset(CreateAcceleratorTableW(&none, 1));
    }
    frameInfo->cb = sizeof(OLEINPLACEFRAMEINFO);
    frameInfo->fMDIApp = FALSE;
    frameInfo->hwndFrame = PaintWindowOf(m_owner);
    frameInfo->haccel = m_accelerators.get();
    frameInfo->cAccelEntries = 1;
    return S_OK;
}

STDMETHODIMP CActiveXCtrl::Scroll(SIZE) { return S_OK; }

STDMETHODIMP CActiveXCtrl::OnUIDeactivate(BOOL) {
    m_uiActive = false;
    return S_OK;
}

STDMETHODIMP CActiveXCtrl::OnInPlaceDeactivate() { return OnInPlaceDeactivateEx(TRUE); }
STDMETHODIMP CActiveXCtrl::DiscardUndoState() { return E_NOTIMPL; }
STDMETHODIMP CActiveXCtrl::DeactivateAndUndo() { return E_NOTIMPL; }
STDMETHODIMP CActiveXCtrl::OnPosRectChange(LPCRECT) { return E_NOTIMPL; }

// ---- IOleInPlaceSiteEx ----

STDMETHODIMP CActiveXCtrl::OnInPlaceActivateEx(BOOL*, DWORD flags) {
    if (!m_owner || !m_owner->m_object) return E_UNEXPECTED;
    IOleObject* const object = m_owner->m_object.Get();
    OleLockRunning(object, TRUE, FALSE);
    HRESULT hr = E_FAIL;
    CPaintManagerUI* const manager = m_owner->GetManager();
    if ((flags & ACTIVATE_WINDOWLESS) && manager) {
        m_windowless = true;
        hr = object->QueryInterface(IID_IOleInPlaceObjectWindowless, m_inPlaceObject.ReceiveVoid());
        if (SUCCEEDED(hr)) {
            m_owner->m_hostWindow = manager->GetPaintWindow();
            // Once only, however often the object activates.
            manager->RemoveMessageFilter(m_owner);
            manager->AddMessageFilter(m_owner);
        }
    }
    if (FAILED(hr)) {
        m_windowless = false;
        hr = CreateNativeWindow();
        if (FAILED(hr)) return hr;
        hr = object->QueryInterface(IID_IOleInPlaceObject, m_inPlaceObject.ReceiveVoid());
    }
    if (m_inPlaceObject && !m_owner->m_hostFlag) {
        RECT rc = ObjectRect();
        m_inPlaceObject->SetObjectRects(&rc, &rc);
    }
    m_inPlaceActive = SUCCEEDED(hr);
    return hr;
}

STDMETHODIMP CActiveXCtrl::OnInPlaceDeactivateEx(BOOL) {
    // The running lock taken on activation goes with it.
    if (m_inPlaceActive && m_owner && m_owner->m_object) OleLockRunning(m_owner->m_object.Get(), FALSE, TRUE);
    m_inPlaceActive = false;
    m_inPlaceObject.Reset();
    DestroyNativeWindow();
    return S_OK;
}

STDMETHODIMP CActiveXCtrl::RequestUIActivate() { return S_OK; }

// ---- IOleInPlaceSiteWindowless ----

STDMETHODIMP CActiveXCtrl::CanWindowlessActivate() { return S_OK; }

STDMETHODIMP CActiveXCtrl::GetCapture() {
    if (!m_owner) return E_UNEXPECTED;
    return m_captured ? S_OK : S_FALSE;
}

STDMETHODIMP CActiveXCtrl::SetCapture(BOOL capture) {
    if (!m_owner) return E_UNEXPECTED;
    m_captured = capture == TRUE;
    if (m_captured) {
        ::SetCapture(m_owner->m_hostWindow);
    } else {
        ::ReleaseCapture();
    }
    return S_OK;
}

STDMETHODIMP CActiveXCtrl::GetFocus() {
    if (!m_owner) return E_UNEXPECTED;
    return m_focused ? S_OK : S_FALSE;
}

STDMETHODIMP CActiveXCtrl::SetFocus(BOOL focus) {
    if (!m_owner) return E_UNEXPECTED;
    if (focus) m_owner->SetFocus();
    m_focused = focus == TRUE;
    return S_OK;
}

STDMETHODIMP CActiveXCtrl::GetDC(LPCRECT, DWORD flags, HDC* dc) {
    if (!dc) return E_POINTER;
    *dc = nullptr;
    if (!m_owner) return E_UNEXPECTED;
    if (m_windowless) return S_FALSE;
    if (!m_owner->m_hostWindow) return E_FAIL;
    *dc = ::GetDC(m_owner->m_hostWindow);
    if (*dc && (flags & OLEDC_PAINTBKGND)) {
        const RECT rc = ObjectRect();
        FillRect(*dc, &rc, reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1)));
    }
    return *dc ? S_OK : E_FAIL;
}

STDMETHODIMP CActiveXCtrl::ReleaseDC(HDC dc) {
    if (!m_owner) return E_UNEXPECTED;
    ::ReleaseDC(m_owner->m_hostWindow, dc);
    return S_OK;
}

STDMETHODIMP CActiveXCtrl::InvalidateRect(LPCRECT rect, BOOL erase) {
    if (!m_owner) return E_UNEXPECTED;
    if (!m_owner->m_hostWindow) return E_FAIL;
    return ::InvalidateRect(m_owner->m_hostWindow, rect, erase) ? S_OK : E_FAIL;
}

STDMETHODIMP CActiveXCtrl::InvalidateRgn(HRGN region, BOOL erase) {
    if (!m_owner) return E_UNEXPECTED;
    if (!m_owner->m_hostWindow) return E_FAIL;
    return ::InvalidateRgn(m_owner->m_hostWindow, region, erase) ? S_OK : E_FAIL;
}

STDMETHODIMP CActiveXCtrl::ScrollRect(INT, INT, LPCRECT, LPCRECT) { return S_OK; }
STDMETHODIMP CActiveXCtrl::AdjustRect(LPRECT) { return S_OK; }

STDMETHODIMP CActiveXCtrl::OnDefWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (!result) return E_POINTER;
    *result = 0;
    if (!m_owner) return E_UNEXPECTED;
    *result = DefWindowProcW(m_owner->m_hostWindow, msg, wParam, lParam);
    return S_OK;
}

// ---- IOleControlSite ----

STDMETHODIMP CActiveXCtrl::OnControlInfoChanged() { return S_OK; }
STDMETHODIMP CActiveXCtrl::LockInPlaceActive(BOOL) { return S_OK; }

STDMETHODIMP CActiveXCtrl::GetExtendedControl(IDispatch** control) {
    if (!control) return E_POINTER;
    *control = nullptr;
    if (!m_owner || !m_owner->m_object) return E_UNEXPECTED;
    return m_owner->m_object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(control));
}

STDMETHODIMP CActiveXCtrl::TransformCoords(POINTL*, POINTF*, DWORD) { return S_OK; }
STDMETHODIMP CActiveXCtrl::TranslateAccelerator(MSG*, DWORD) { return S_FALSE; }

STDMETHODIMP CActiveXCtrl::OnFocus(BOOL gotFocus) {
    m_focused = gotFocus == TRUE;
    return S_OK;
}

STDMETHODIMP CActiveXCtrl::ShowPropertyFrame() { return E_NOTIMPL; }

// ---- IObjectWithSite ----

STDMETHODIMP CActiveXCtrl::SetSite(IUnknown* site) {
    m_outerSite = CComRef<IUnknown>::Share(site);
    return S_OK;
}

STDMETHODIMP CActiveXCtrl::GetSite(REFIID iid, void** site) {
    if (!site) return E_POINTER;
    *site = nullptr;
    if (!m_outerSite) return E_FAIL;
    return m_outerSite->QueryInterface(iid, site);
}

// ---- IOleContainer ----

STDMETHODIMP CActiveXCtrl::ParseDisplayName(IBindCtx*, LPOLESTR, ULONG*, IMoniker** moniker) {
    if (moniker) *moniker = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CActiveXCtrl::EnumObjects(DWORD, IEnumUnknown** objects) {
    if (!objects) return E_POINTER;
    *objects = nullptr;
    if (!m_owner || !m_owner->m_object) return E_UNEXPECTED;
    *objects = new CActiveXEnum(m_owner->m_object.Get());
    (*objects)->AddRef();
    return S_OK;
}

STDMETHODIMP CActiveXCtrl::LockContainer(BOOL lock) {
    m_locked = lock != FALSE;
    return S_OK;
}

// ---- Native window ----

HRESULT CActiveXCtrl::CreateNativeWindow() {
    const HWND parent = PaintWindowOf(m_owner);
    if (!parent) return E_UNEXPECTED;
    DestroyNativeWindow();
    m_window = std::make_unique<CActiveXWnd>(this);
    if (!m_window->Init(parent, m_owner->GetPos())) {
        m_window.reset();
        return E_FAIL;
    }
    m_owner->m_hostWindow = *m_window;
    return S_OK;
}

void CActiveXCtrl::DestroyNativeWindow() {
    if (!m_window) return;
    const HWND window = *m_window;
    if (m_owner && m_owner->m_hostWindow == window) m_owner->m_hostWindow = nullptr;
    if (IsWindow(window)) DestroyWindow(window);
    m_window.reset();
}

RECT CActiveXCtrl::ObjectRect() const {
    RECT rc = m_owner ? m_owner->GetPos() : RECT{};
    if (!m_windowless) OffsetRect(&rc, -rc.left, -rc.top);
    return rc;
}

}  // namespace KvUI
