#include "ui/controls/ActiveXUI.h"

#include <ocidl.h>

#include <cwchar>

#include "ui/controls/ActiveXCtrl.h"
#include "ui/core/PaintManagerUI.h"
#include "win/GdiOwners.h"

namespace KvUI {
namespace {

using kvwin::CComRef;

bool IsNullClsid(REFCLSID clsid) { return IsEqualGUID(clsid, GUID_NULL) != FALSE; }

// Pixels to HIMETRIC (hundredths of a millimetre) at the screen's resolution.
SIZEL ToHimetric(int width, int height) {
    const kvwin::WindowDC screen(nullptr);
    return SIZEL{MulDiv(2540, width, GetDeviceCaps(screen.get(), LOGPIXELSX)),
                 MulDiv(2540, height, GetDeviceCaps(screen.get(), LOGPIXELSY))};
}

// The object from the module's own class object. The module stays loaded:
// the object's code lives there, and so may objects it hands out.
CComRef<IUnknown> CreateFromModule(LPCTSTR moduleName, REFCLSID clsid) {
    CComRef<IUnknown> object;
    const HMODULE module = LoadLibraryW(moduleName);
    if (!module) return object;
    using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    const auto getClassObject = reinterpret_cast<GetClassObject>(
        reinterpret_cast<void*>(GetProcAddress(module, "DllGetClassObject")));
    if (!getClassObject) return object;
    CComRef<IClassFactory> factory;
    if (FAILED(getClassObject(clsid, IID_IClassFactory, factory.ReceiveVoid())) || !factory) return object;
    factory->CreateInstance(nullptr, IID_IOleObject, object.ReceiveVoid());
    return object;
}

bool IsMouseMessage(UINT msg) { return msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST; }

}  // namespace

CActiveXUI::CActiveXUI() = default;

CActiveXUI::~CActiveXUI() { CActiveXUI::ReleaseControl(); }

LPCTSTR CActiveXUI::GetClass() const { return L"ActiveXUI"; }

LPVOID CActiveXUI::GetInterface(LPCTSTR name) {
    if (name && wcscmp(name, L"ActiveX") == 0) return static_cast<CActiveXUI*>(this);
    return CControlUI::GetInterface(name);
}

bool CActiveXUI::IsDelayCreate() const { return m_delayCreate; }

void CActiveXUI::SetDelayCreate(bool delayCreate) {
    if (m_delayCreate == delayCreate) return;
    m_delayCreate = delayCreate;
    if (!delayCreate && !m_created && !IsNullClsid(m_clsid)) DoCreateControl();
}

bool CActiveXUI::GetHostFlag() const { return m_hostFlag; }
void CActiveXUI::SetHostFlag(bool host) { m_hostFlag = host; }

bool CActiveXUI::SetClsid(LPCTSTR clsid) {
    if (!clsid) return false;
    wchar_t text[100] = {};
    wcsncpy(text, clsid, 99);
    CLSID id = {};
    if (text[0] == L'{') {
        CLSIDFromString(text, &id);
    } else {
        CLSIDFromProgID(text, &id);
    }
    return SetClsid(id);
}

bool CActiveXUI::SetClsid(REFCLSID clsid) {
    if (IsNullClsid(clsid)) return false;
    m_created = false;
    m_clsid = clsid;
    if (!m_delayCreate) DoCreateControl();
    return true;
}

void CActiveXUI::SetModuleName(LPCTSTR moduleName) { m_moduleName = moduleName ? moduleName : L""; }

HRESULT CActiveXUI::GetControl(REFIID iid, void** out) const {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!m_object) return E_PENDING;
    return m_object->QueryInterface(iid, out);
}

void CActiveXUI::SetPos(RECT rc, bool needInvalidate) {
    CControlUI::SetPos(rc, needInvalidate);
    if (!m_created && !IsNullClsid(m_clsid)) DoCreateControl();
    // Nothing more before creation or after a failed one.
    if (!m_object || !m_site) return;

    SIZEL extent = ToHimetric(m_itemRect.right - m_itemRect.left, m_itemRect.bottom - m_itemRect.top);
    m_object->SetExtent(DVASPECT_CONTENT, &extent);
    if (IOleInPlaceObject* const inPlace = m_site->GetInPlaceObject()) {
        RECT pos = m_itemRect;
        if (!m_site->IsWindowless()) OffsetRect(&pos, -pos.left, -pos.top);
        inPlace->SetObjectRects(&pos, &pos);
    }
    MoveNativeWindow();
}

void CActiveXUI::Move(int dx, int dy, bool needInvalidate) {
    CControlUI::Move(dx, dy, needInvalidate);
    MoveNativeWindow();
}

void CActiveXUI::SetVisible(bool visible) {
    CControlUI::SetVisible(visible);
    if (IsWindowed()) ::ShowWindow(m_hostWindow, IsVisible() ? SW_SHOW : SW_HIDE);
}

void CActiveXUI::SetInternVisible(bool visible) {
    CControlUI::SetInternVisible(visible);
    if (IsWindowed()) ::ShowWindow(m_hostWindow, IsVisible() ? SW_SHOW : SW_HIDE);
}

bool CActiveXUI::DoPaint(HDC dc, const RECT&, CControlUI*) {
    if (m_site && m_site->IsWindowless()) m_site->DrawView(dc, m_itemRect);
    return true;
}

void CActiveXUI::SetAttribute(LPCTSTR name, LPCTSTR value) {
    if (wcscmp(name, L"clsid") == 0) {
        SetClsid(value);
    } else if (wcscmp(name, L"modulename") == 0) {
        SetModuleName(value);
    } else if (wcscmp(name, L"delaycreate") == 0) {
        SetDelayCreate(wcscmp(value, L"true") == 0);
    } else {
        CControlUI::SetAttribute(name, value);
    }
}

LRESULT CActiveXUI::MessageHandler(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) {
    IOleInPlaceObjectWindowless* const object = m_site ? m_site->GetWindowlessObject() : nullptr;
    if (!object) return 0;

    bool consume = true;
    if (IsMouseMessage(msg) || msg == WM_SETCURSOR) {
        if (IsMouseMessage(msg) && !IsMouseEnabled()) return 0;
        if (!m_site->IsCaptured()) {
            // WM_SETCURSOR carries no point and the wheel a screen point: both
            // are tested where the cursor is.
            POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            if (msg == WM_SETCURSOR || msg == WM_MOUSEWHEEL) {
                GetCursorPos(&pt);
                ScreenToClient(m_manager->GetPaintWindow(), &pt);
            }
            DWORD hit = HITRESULT_OUTSIDE;
            CComRef<IViewObjectEx> view;
            if (m_site->GetViewObject() &&
                SUCCEEDED(m_site->GetViewObject()->QueryInterface(IID_IViewObjectEx, view.ReceiveVoid()))) {
                view->QueryHitPoint(DVASPECT_CONTENT, &m_itemRect, pt, 0, &hit);
            } else if (PtInRect(&m_itemRect, pt)) {
                hit = HITRESULT_HIT;
            }
            if (hit != HITRESULT_HIT) return 0;
        }
        if (msg == WM_SETCURSOR) consume = false;
    } else if (msg >= WM_KEYFIRST && msg <= WM_KEYLAST) {
        if (!IsFocused()) return 0;
    } else if (msg == WM_HELP || msg == WM_CONTEXTMENU) {
        consume = false;
    } else {
        return 0;
    }

    LRESULT result = 0;
    if (object->OnWindowMessage(msg, wParam, lParam, &result) == S_OK) handled = consume;
    return result;
}

void CActiveXUI::ReleaseControl() {
    if (m_manager) m_manager->RemoveMessageFilter(this);
    if (m_object) {
        CComRef<IObjectWithSite> withSite;
        if (SUCCEEDED(m_object->QueryInterface(IID_IObjectWithSite, withSite.ReceiveVoid()))) {
            withSite->SetSite(nullptr);
        }
        if (!m_hostFlag) m_object->Close(OLECLOSE_NOSAVE);
        m_object->SetClientSite(nullptr);
        m_object.Reset();
    }
    if (m_site) {
        m_site->ClearOwner();
        m_site.Reset();
    }
    m_hostWindow = nullptr;
}

bool CActiveXUI::DoCreateControl() {
    ReleaseControl();
    m_created = true;

    CComRef<IUnknown> created;
    if (!m_moduleName.IsEmpty()) created = CreateFromModule(m_moduleName.GetData(), m_clsid);
    if (!created &&
        FAILED(CoCreateInstance(m_clsid, nullptr, CLSCTX_ALL, IID_IOleControl, created.ReceiveVoid()))) {
        return false;
    }
    if (!created || FAILED(created->QueryInterface(IID_IOleObject, m_object.ReceiveVoid()))) return false;

    m_site = CComRef<CActiveXCtrl>::Share(new CActiveXCtrl(this));
    DWORD status = 0;
    m_object->GetMiscStatus(DVASPECT_CONTENT, &status);
    CComRef<IOleClientSite> clientSite;
    m_site->QueryInterface(IID_IOleClientSite, clientSite.ReceiveVoid());

    HRESULT hr = S_OK;
    bool siteGiven = false;
    if (status & OLEMISC_SETCLIENTSITEFIRST) {
        hr = m_object->SetClientSite(clientSite.Get());
        siteGiven = true;
    }
    CComRef<IPersistStreamInit> persist;
    if (SUCCEEDED(m_object->QueryInterface(IID_IPersistStreamInit, persist.ReceiveVoid()))) {
        hr = persist->InitNew();
        if (FAILED(hr)) return false;
    }
    if (!siteGiven) hr = m_object->SetClientSite(clientSite.Get());
    m_site->SetViewObject(m_object.Get());
    hr = m_object->SetHostNames(L"UIActiveX", nullptr);

    // A derived control sets itself up on this notification.
    if (m_manager) m_manager->SendNotify(this, L"showactivex");
    if (!(status & OLEMISC_INVISIBLEATRUNTIME) && m_manager && m_object) {
        try {
            hr = m_object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, clientSite.Get(), 0,
                                  m_manager->GetPaintWindow(), &m_itemRect);
        } catch (...) {
            // An object that throws out of its activation stays inactive.
        }
    }
    CComRef<IObjectWithSite> withSite;
    if (m_object && m_site && SUCCEEDED(m_object->QueryInterface(IID_IObjectWithSite, withSite.ReceiveVoid()))) {
        hr = withSite->SetSite(static_cast<IOleClientSite*>(m_site.Get()));
    }
    return SUCCEEDED(hr);
}

HRESULT CActiveXUI::ConnectEvents(IUnknown* source, REFIID events, IUnknown* sink, DWORD& cookie, bool connect) {
    if (!source) return E_POINTER;
    CComRef<IConnectionPointContainer> container;
    HRESULT hr = source->QueryInterface(IID_IConnectionPointContainer, container.ReceiveVoid());
    if (FAILED(hr)) return hr;
    CComRef<IConnectionPoint> point;
    hr = container->FindConnectionPoint(events, point.Receive());
    if (FAILED(hr)) return hr;
    if (connect) return point->Advise(sink, &cookie);
    hr = point->Unadvise(cookie);
    cookie = 0;
    return hr;
}

HRESULT CActiveXUI::TranslateKeyInHost(IUnknown* object, MSG* msg) const {
    if (!msg || msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST) return S_FALSE;
    if (!object) return E_NOTIMPL;
    HWND focus = ::GetFocus();
    while (focus && focus != m_hostWindow) focus = ::GetParent(focus);
    if (!focus) return S_FALSE;
    CComRef<IOleInPlaceActiveObject> active;
    const HRESULT hr = object->QueryInterface(IID_IOleInPlaceActiveObject, active.ReceiveVoid());
    if (FAILED(hr)) return hr;
    return active->TranslateAccelerator(msg);
}

bool CActiveXUI::IsWindowed() const { return m_site && !m_site->IsWindowless() && m_hostWindow; }

void CActiveXUI::MoveNativeWindow() {
    if (!IsWindowed()) return;
    const RECT& rc = m_itemRect;
    MoveWindow(m_hostWindow, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, TRUE);
}

}  // namespace KvUI
