#include "controls/activex/TestOleObject.h"

#include <ocidl.h>

#include <cstdio>

#include "win/ComObject.h"
#include "win/ComRef.h"

namespace kvtest {

const CLSID kWindowlessObjectClsid = {0x6d1f0a01, 0x4b7e, 0x4c2a, {0x9e, 0x10, 0x5a, 0x31, 0x7c, 0x00, 0x00, 0x01}};
const CLSID kWindowedObjectClsid = {0x6d1f0a01, 0x4b7e, 0x4c2a, {0x9e, 0x10, 0x5a, 0x31, 0x7c, 0x00, 0x00, 0x02}};
const CLSID kRefusedObjectClsid = {0x6d1f0a01, 0x4b7e, 0x4c2a, {0x9e, 0x10, 0x5a, 0x31, 0x7c, 0x00, 0x00, 0x03}};
const CLSID kModuleObjectClsid = {0x6d1f0a01, 0x4b7e, 0x4c2a, {0x9e, 0x10, 0x5a, 0x31, 0x7c, 0x00, 0x00, 0x04}};

OleRecord& Record() {
    static OleRecord record;
    return record;
}

namespace {

using kvwin::CComRef;

void Note(const char* format, long a = 0, long b = 0, long c = 0, long d = 0) {
    char text[128];
    snprintf(text, sizeof text, format, a, b, c, d);
    Record().calls.emplace_back(text);
}

class TestOleObject
    : public kvwin::ComObject<IOleObject, IOleControl, IOleInPlaceObjectWindowless, IOleInPlaceActiveObject,
                              IViewObjectEx, IPersistStreamInit, IObjectWithSite> {
public:
    explicit TestOleObject(bool windowless) : m_windowless(windowless) { ++Record().live; }

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!m_windowless && iid == IID_IOleInPlaceObjectWindowless) {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        return kvwin::QueryInterfaceFor<IOleObject, IOleControl, IOleInPlaceObjectWindowless, IOleInPlaceObject,
                                        IOleInPlaceActiveObject, IViewObjectEx, IViewObject2, IViewObject,
                                        IPersistStreamInit, IPersist, IObjectWithSite>(this, iid, out);
    }

    // IOleObject
    STDMETHODIMP SetClientSite(IOleClientSite* site) override {
        Note(site ? "SetClientSite" : "SetClientSite null");
        if (site) {
            m_site = CComRef<IOleClientSite>::Share(site);
        } else if (m_site) {
            Record().clientSiteRefsLeft = static_cast<LONG>(m_site.Detach()->Release());
        }
        Record().site = m_site.Get();
        return S_OK;
    }
    STDMETHODIMP GetClientSite(IOleClientSite** site) override {
        *site = m_site.Get();
        if (*site) (*site)->AddRef();
        return S_OK;
    }
    STDMETHODIMP SetHostNames(LPCOLESTR app, LPCOLESTR) override {
        Note(app && wcscmp(app, L"UIActiveX") == 0 ? "SetHostNames UIActiveX" : "SetHostNames ?");
        return S_OK;
    }
    STDMETHODIMP Close(DWORD option) override {
        Note("Close %ld", static_cast<long>(option));
        return InPlaceDeactivate();
    }
    STDMETHODIMP SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetClipboardData(DWORD, IDataObject**) override { return E_NOTIMPL; }
    STDMETHODIMP DoVerb(LONG verb, LPMSG, IOleClientSite*, LONG, HWND, LPCRECT) override {
        Note("DoVerb %ld", verb);
        if (verb != OLEIVERB_INPLACEACTIVATE && verb != OLEIVERB_UIACTIVATE) return E_NOTIMPL;
        return Activate(verb == OLEIVERB_UIACTIVATE);
    }
    STDMETHODIMP EnumVerbs(IEnumOLEVERB**) override { return E_NOTIMPL; }
    STDMETHODIMP Update() override { return S_OK; }
    STDMETHODIMP IsUpToDate() override { return S_OK; }
    STDMETHODIMP GetUserClassID(CLSID*) override { return E_NOTIMPL; }
    STDMETHODIMP GetUserType(DWORD, LPOLESTR*) override { return E_NOTIMPL; }
    STDMETHODIMP SetExtent(DWORD, SIZEL* size) override {
        Note("SetExtent %ld,%ld", size->cx, size->cy);
        return S_OK;
    }
    STDMETHODIMP GetExtent(DWORD, SIZEL*) override { return E_NOTIMPL; }
    STDMETHODIMP Advise(IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
    STDMETHODIMP Unadvise(DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP EnumAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }
    STDMETHODIMP GetMiscStatus(DWORD, DWORD* status) override {
        *status = 0;
        return S_OK;
    }
    STDMETHODIMP SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

    // IOleControl
    STDMETHODIMP GetControlInfo(CONTROLINFO*) override { return E_NOTIMPL; }
    STDMETHODIMP OnMnemonic(MSG*) override { return E_NOTIMPL; }
    STDMETHODIMP OnAmbientPropertyChange(DISPID) override { return S_OK; }
    STDMETHODIMP FreezeEvents(BOOL) override { return S_OK; }

    // IOleWindow, IOleInPlaceObject(Windowless)
    STDMETHODIMP GetWindow(HWND* window) override {
        *window = m_window;
        return m_window ? S_OK : E_FAIL;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP InPlaceDeactivate() override {
        if (!m_inPlaceSite) return S_OK;
        if (m_uiActive) m_inPlaceSite->OnUIDeactivate(FALSE);
        m_uiActive = false;
        if (m_frame) Record().frameRefsLeft = static_cast<LONG>(m_frame.Detach()->Release());
        m_inPlaceSite->OnInPlaceDeactivate();
        Note("deactivated");
        m_inPlaceSite.Reset();
        m_windowlessSite.Reset();
        m_window = nullptr;
        return S_OK;
    }
    STDMETHODIMP UIDeactivate() override { return S_OK; }
    STDMETHODIMP SetObjectRects(LPCRECT position, LPCRECT) override {
        Note("SetObjectRects %ld,%ld,%ld,%ld", position->left, position->top, position->right, position->bottom);
        m_bounds = *position;
        return S_OK;
    }
    STDMETHODIMP ReactivateAndUndo() override { return E_NOTIMPL; }
    STDMETHODIMP OnWindowMessage(UINT msg, WPARAM, LPARAM, LRESULT* result) override {
        Note("OnWindowMessage 0x%lx", static_cast<long>(msg));
        *result = 0;
        if (msg == WM_LBUTTONDOWN && m_windowlessSite) {
            m_windowlessSite->SetCapture(TRUE);
            m_windowlessSite->SetFocus(TRUE);
        } else if (msg == WM_LBUTTONUP && m_windowlessSite) {
            m_windowlessSite->SetCapture(FALSE);
        }
        return S_OK;
    }
    STDMETHODIMP GetDropTarget(IDropTarget**) override { return E_NOTIMPL; }

    // IOleInPlaceActiveObject
    STDMETHODIMP TranslateAccelerator(LPMSG) override { return S_FALSE; }
    STDMETHODIMP OnFrameWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnDocWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }

    // IViewObject, IViewObject2, IViewObjectEx
    STDMETHODIMP Draw(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, HDC dc, LPCRECTL bounds, LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR),
                      ULONG_PTR) override {
        const RECT rc = {bounds->left, bounds->top, bounds->right, bounds->bottom};
        const HBRUSH brush = CreateSolidBrush(RGB(kObjectColour >> 16, (kObjectColour >> 8) & 0xFF, kObjectColour & 0xFF));
        FillRect(dc, &rc, brush);
        DeleteObject(brush);
        return S_OK;
    }
    STDMETHODIMP GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE**) override { return E_NOTIMPL; }
    STDMETHODIMP Freeze(DWORD, LONG, void*, DWORD*) override { return E_NOTIMPL; }
    STDMETHODIMP Unfreeze(DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP SetAdvise(DWORD, DWORD, IAdviseSink*) override { return E_NOTIMPL; }
    STDMETHODIMP GetAdvise(DWORD*, DWORD*, IAdviseSink**) override { return E_NOTIMPL; }
    STDMETHODIMP GetExtent(DWORD, LONG, DVTARGETDEVICE*, LPSIZEL) override { return E_NOTIMPL; }
    STDMETHODIMP GetRect(DWORD, LPRECTL) override { return E_NOTIMPL; }
    STDMETHODIMP GetViewStatus(DWORD*) override { return E_NOTIMPL; }
    STDMETHODIMP QueryHitPoint(DWORD, LPCRECT bounds, POINT pt, LONG, DWORD* hit) override {
        *hit = PtInRect(bounds, pt) ? HITRESULT_HIT : HITRESULT_OUTSIDE;
        return S_OK;
    }
    STDMETHODIMP QueryHitRect(DWORD, LPCRECT, LPCRECT, LONG, DWORD*) override { return E_NOTIMPL; }
    STDMETHODIMP GetNaturalExtent(DWORD, LONG, DVTARGETDEVICE*, HDC, DVEXTENTINFO*, LPSIZEL) override {
        return E_NOTIMPL;
    }

    // IPersistStreamInit
    STDMETHODIMP GetClassID(CLSID*) override { return E_NOTIMPL; }
    STDMETHODIMP IsDirty() override { return S_FALSE; }
    STDMETHODIMP Load(LPSTREAM) override { return E_NOTIMPL; }
    STDMETHODIMP Save(LPSTREAM, BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP GetSizeMax(ULARGE_INTEGER*) override { return E_NOTIMPL; }
    STDMETHODIMP InitNew() override {
        Note("InitNew");
        return S_OK;
    }

    // IObjectWithSite
    STDMETHODIMP SetSite(IUnknown* site) override {
        Note(site ? "SetSite" : "SetSite null");
        m_objectSite = CComRef<IUnknown>::Share(site);
        return S_OK;
    }
    STDMETHODIMP GetSite(REFIID, void**) override { return E_NOTIMPL; }

private:
    ~TestOleObject() override {
        Note("destroyed");
        --Record().live;
    }

    HRESULT Activate(bool ui) {
        if (!m_site) return E_UNEXPECTED;
        if (!m_inPlaceSite) {
            const HRESULT hr = m_windowless ? ActivateWindowless() : ActivateWindowed();
            if (FAILED(hr)) return hr;
            TakeWindowContext();
        }
        if (ui && !m_uiActive) {
            Note("OnUIActivate");
            m_inPlaceSite->OnUIActivate();
            m_uiActive = true;
        }
        return S_OK;
    }
    HRESULT ActivateWindowless() {
        HRESULT hr = m_site->QueryInterface(IID_IOleInPlaceSiteWindowless, m_windowlessSite.ReceiveVoid());
        if (FAILED(hr) || m_windowlessSite->CanWindowlessActivate() != S_OK) return E_FAIL;
        BOOL noRedraw = FALSE;
        Note("OnInPlaceActivateEx windowless");
        hr = m_windowlessSite->OnInPlaceActivateEx(&noRedraw, ACTIVATE_WINDOWLESS);
        if (FAILED(hr)) return hr;
        m_inPlaceSite = CComRef<IOleInPlaceSite>::Share(m_windowlessSite.Get());
        return S_OK;
    }
    HRESULT ActivateWindowed() {
        HRESULT hr = m_site->QueryInterface(IID_IOleInPlaceSite, m_inPlaceSite.ReceiveVoid());
        if (FAILED(hr) || m_inPlaceSite->CanInPlaceActivate() != S_OK) return E_FAIL;
        Note("OnInPlaceActivate");
        hr = m_inPlaceSite->OnInPlaceActivate();
        if (SUCCEEDED(hr)) hr = m_inPlaceSite->GetWindow(&m_window);
        if (FAILED(hr)) m_inPlaceSite.Reset();
        return hr;
    }
    void TakeWindowContext() {
        CComRef<IOleInPlaceUIWindow> document;
        RECT position = {};
        RECT clip = {};
        OLEINPLACEFRAMEINFO info = {};
        info.cb = sizeof info;
        if (SUCCEEDED(m_inPlaceSite->GetWindowContext(m_frame.Receive(), document.Receive(), &position, &clip,
                                                      &info))) {
            Note("GetWindowContext");
            Record().accelerators = info.haccel;
        }
    }

    const bool m_windowless;
    bool m_uiActive = false;
    HWND m_window = nullptr;
    RECT m_bounds = {};
    CComRef<IOleClientSite> m_site;
    CComRef<IOleInPlaceSite> m_inPlaceSite;
    CComRef<IOleInPlaceSiteWindowless> m_windowlessSite;
    CComRef<IOleInPlaceFrame> m_frame;
    CComRef<IUnknown> m_objectSite;
};

class TestClassFactory : public kvwin::ComObject<IClassFactory> {
public:
    explicit TestClassFactory(REFCLSID clsid) : m_clsid(clsid) {}

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        return kvwin::QueryInterfaceFor<IClassFactory>(this, iid, out);
    }
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        ++Record().creations;
        if (m_clsid == kRefusedObjectClsid) return E_FAIL;
        CComRef<IUnknown> object(static_cast<IOleObject*>(new TestOleObject(m_clsid != kWindowedObjectClsid)));
        object->AddRef();
        return object->QueryInterface(iid, out);
    }
    STDMETHODIMP LockServer(BOOL) override { return S_OK; }

private:
    const CLSID m_clsid;
};

}  // namespace

IClassFactory* NewTestClassFactory(REFCLSID clsid) {
    IClassFactory* factory = new TestClassFactory(clsid);
    factory->AddRef();
    return factory;
}

}  // namespace kvtest
