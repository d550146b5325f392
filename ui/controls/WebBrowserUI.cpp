#include "ui/controls/WebBrowserUI.h"

#include <initializer_list>

#include "ui/core/AttributeValue.h"
#include "ui/core/PaintManagerUI.h"

namespace KvUI {
namespace {

using kvwin::CComRef;

constexpr CLSID kWebBrowserClsid = {0x8856F961, 0x340A, 0x11D0, {0xA9, 0x6B, 0x00, 0xC0, 0x4F, 0xD7, 0x05, 0xA2}};
constexpr IID kWebBrowserEvents2 = {0x34A715A0, 0x6587, 0x11D0, {0x92, 0x4A, 0x00, 0x20, 0xAF, 0xC7, 0xAC, 0x4D}};
constexpr GUID kDocHostCommandHandler = {0xF38BC242, 0xB950, 0x11D1, {0x89, 0x18, 0x00, 0xC0, 0x4F, 0xC2, 0xC8, 0x36}};
constexpr DWORD kShowScriptError = 40;

constexpr DISPID kStatusTextChange = 102;
constexpr DISPID kCommandStateChange = 105;
constexpr DISPID kTitleChange = 113;
constexpr DISPID kBeforeNavigate2 = 250;
constexpr DISPID kNavigateComplete2 = 252;
constexpr DISPID kDocumentComplete = 259;
constexpr DISPID kNavigateError = 271;
constexpr DISPID kNewWindow3 = 273;

constexpr VARTYPE kVariantRef = VT_BYREF | VT_VARIANT;
constexpr VARTYPE kBoolRef = VT_BYREF | VT_BOOL;

// An event's arguments come from the browser: their number and types are
// checked before any of them is read. `types` are in the event's documented
// order, which is the reverse of the array's.
HRESULT CheckArguments(const DISPPARAMS* params, std::initializer_list<VARTYPE> types) {
    if (!params || params->cArgs != types.size() || (params->cArgs && !params->rgvarg)) return DISP_E_BADPARAMCOUNT;
    UINT index = params->cArgs;
    for (const VARTYPE type : types) {
        const VARIANT& arg = params->rgvarg[--index];
        const bool sameType = arg.vt == type || (type == VT_I4 && arg.vt == VT_UI4);
        if (!sameType || ((type & VT_BYREF) && !arg.byref)) return DISP_E_TYPEMISMATCH;
    }
    return S_OK;
}

// The argument at `index` in the event's documented order.
VARIANT& Arg(DISPPARAMS* params, UINT index) { return params->rgvarg[params->cArgs - 1 - index]; }

// Reads property `name` of `object` through its dispatch interface; `value`
// holds it afterwards (empty when the read fails) and is the caller's to clear.
HRESULT ReadProperty(IDispatch* object, LPCWSTR name, VARIANT& value) {
    VariantInit(&value);
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    DISPID id = DISPID_UNKNOWN;
    const HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr)) return hr;
    DISPPARAMS none = {};
    return object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &value, nullptr, nullptr);
}

// Follows property `name` of `object` to the object it holds.
HRESULT ReadObject(IDispatch* object, LPCWSTR name, CComRef<IDispatch>& target) {
    VARIANT value;
    const HRESULT hr = ReadProperty(object, name, value);
    if (SUCCEEDED(hr) && value.vt == VT_DISPATCH && value.pdispVal) {
        target.Reset(value.pdispVal);  // takes over the variant's reference
        return hr;
    }
    VariantClear(&value);
    return FAILED(hr) ? hr : DISP_E_TYPEMISMATCH;
}

// The details of a script error, which the page's window keeps in its event
// object while the error is reported. `in` holds the page's document.
HRESULT ReadScriptError(const VARIANT* in) {
    if (!in || (in->vt != VT_UNKNOWN && in->vt != VT_DISPATCH) || !in->punkVal) return E_INVALIDARG;
    CComRef<IDispatch> document;
    CComRef<IDispatch> window;
    CComRef<IDispatch> event;
    HRESULT hr = in->punkVal->QueryInterface(IID_IDispatch, document.ReceiveVoid());
    if (SUCCEEDED(hr)) hr = ReadObject(document.Get(), L"parentWindow", window);
    if (SUCCEEDED(hr)) hr = ReadObject(window.Get(), L"event", event);
    if (FAILED(hr)) return hr;
    for (LPCWSTR name : {L"errorLine", L"errorCharacter", L"errorCode", L"errorMessage", L"errorUrl"}) {
        VARIANT value;
        hr = ReadProperty(event.Get(), name, value);
        VariantClear(&value);
    }
    return hr;
}

CWebBrowserEventHandler& DefaultHandler() {
    static CWebBrowserEventHandler handler;
    return handler;
}

}  // namespace

CWebBrowserUI::CWebBrowserUI() { m_clsid = kWebBrowserClsid; }

CWebBrowserUI::~CWebBrowserUI() { CWebBrowserUI::ReleaseControl(); }

LPCTSTR CWebBrowserUI::GetClass() const { return L"WebBrowserUI"; }

LPVOID CWebBrowserUI::GetInterface(LPCTSTR name) {
    if (name && attribute::Is(name, L"WebBrowser")) return static_cast<CWebBrowserUI*>(this);
    return CActiveXUI::GetInterface(name);
}

void CWebBrowserUI::SetAttribute(LPCTSTR name, LPCTSTR value) {
    if (attribute::Is(name, L"homepage")) {
        m_homePage = value;
    } else if (attribute::Is(name, L"autonavi")) {
        m_autoNavigate = attribute::IsTrue(value);
    } else {
        CActiveXUI::SetAttribute(name, value);
    }
}

bool CWebBrowserUI::DoCreateControl() {
    if (!CActiveXUI::DoCreateControl()) return false;
    if (m_manager) m_manager->AddTranslateAccelerator(this);
    GetControl(IID_IWebBrowser2, m_browser.ReceiveVoid());
    if (m_autoNavigate && !m_homePage.IsEmpty()) Navigate2(m_homePage.GetData());
    RegisterEventHandler(true);
    return true;
}

void CWebBrowserUI::ReleaseControl() {
    m_created = false;
    if (m_manager) m_manager->RemoveTranslateAccelerator(this);
    if (m_eventCookie) RegisterEventHandler(false);
    m_browser.Reset();
    // The hosted object goes too: a new one replaces it on re-creation.
    CActiveXUI::ReleaseControl();
}

int CWebBrowserUI::ForwardHandlerCall(UINT_PTR w1, UINT_PTR w2, UINT_PTR w3, UINT_PTR w4, UINT_PTR w5, UINT_PTR w6,
                                      UINT_PTR w7, UINT_PTR w8) {
    return Handler().ForwardCall(this, w1, w2, w3, w4, w5, w6, w7, w8);
}

void CWebBrowserUI::Navigate2(LPCTSTR url) {
    if (!url || !m_browser) return;
    VARIANT address;
    VariantInit(&address);
    address.vt = VT_BSTR;
    address.bstrVal = SysAllocString(url);
    if (!address.bstrVal) return;
    m_browser->Navigate2(&address, nullptr, nullptr, nullptr, nullptr);
    VariantClear(&address);
}

void CWebBrowserUI::SetWebBrowserEventHandler(CWebBrowserEventHandler* handler) { m_handler = handler; }

STDMETHODIMP CWebBrowserUI::QueryInterface(REFIID iid, void** out) {
    return kvwin::QueryInterfaceFor<IDocHostUIHandler, IDispatch, IServiceProvider, IInternetSecurityManager,
                                    IOleCommandTarget>(this, iid, out);
}

// ---- The event sink ----

STDMETHODIMP CWebBrowserUI::GetTypeInfoCount(UINT* count) {
    if (count) *count = 0;
    return E_NOTIMPL;
}

STDMETHODIMP CWebBrowserUI::GetTypeInfo(UINT, LCID, ITypeInfo**) { return E_NOTIMPL; }
STDMETHODIMP CWebBrowserUI::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }

STDMETHODIMP CWebBrowserUI::Invoke(DISPID id, REFIID iid, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                   UINT*) {
    if (!IsEqualIID(iid, IID_NULL)) return E_INVALIDARG;
    CWebBrowserEventHandler& handler = Handler();
    HRESULT hr = S_OK;
    switch (id) {
    case kStatusTextChange:
        break;
    case kCommandStateChange:
        hr = CheckArguments(params, {VT_I4, VT_BOOL});
        if (hr == S_OK) handler.CommandStateChange(this, Arg(params, 0).lVal, Arg(params, 1).boolVal);
        break;
    case kTitleChange:
        hr = CheckArguments(params, {VT_BSTR});
        if (hr == S_OK) handler.TitleChange(this, Arg(params, 0).bstrVal);
        break;
    case kBeforeNavigate2:
        hr = CheckArguments(params, {VT_DISPATCH, kVariantRef, kVariantRef, kVariantRef, kVariantRef, kVariantRef,
                                     kBoolRef});
        if (hr == S_OK) {
            handler.BeforeNavigate2(this, Arg(params, 0).pdispVal, Arg(params, 1).pvarVal, Arg(params, 2).pvarVal,
                                    Arg(params, 3).pvarVal, Arg(params, 4).pvarVal, Arg(params, 5).pvarVal,
                                    Arg(params, 6).pboolVal);
        }
        break;
    case kNavigateComplete2:
        hr = CheckArguments(params, {VT_DISPATCH, kVariantRef});
        if (hr != S_OK) break;
        // Each navigation makes a new document, which needs this host again.
        InstallUIHandler();
        handler.NavigateComplete2(this, Arg(params, 0).pdispVal, Arg(params, 1).pvarVal);
        break;
    case kDocumentComplete:
        hr = CheckArguments(params, {VT_DISPATCH, kVariantRef});
        if (hr == S_OK) handler.DocumentComplete(this, Arg(params, 0).pdispVal, Arg(params, 1).pvarVal);
        break;
    case kNavigateError:
        hr = CheckArguments(params, {VT_DISPATCH, kVariantRef, kVariantRef, kVariantRef, kBoolRef});
        if (hr == S_OK) {
            handler.NavigateError(this, Arg(params, 0).pdispVal, Arg(params, 1).pvarVal, Arg(params, 2).pvarVal,
                                  Arg(params, 3).pvarVal, Arg(params, 4).pboolVal);
        }
        break;
    case kNewWindow3:
        hr = CheckArguments(params, {VT_BYREF | VT_DISPATCH, kBoolRef, VT_I4, VT_BSTR, VT_BSTR});
        if (hr == S_OK) {
            handler.NewWindow3(this, Arg(params, 0).ppdispVal, Arg(params, 1).pboolVal,
                               static_cast<DWORD>(Arg(params, 2).lVal), Arg(params, 3).bstrVal,
                               Arg(params, 4).bstrVal);
        }
        break;
    default:
        return DISP_E_MEMBERNOTFOUND;
    }
    return hr;
}

// ---- The document host ----

STDMETHODIMP CWebBrowserUI::ShowContextMenu(DWORD id, POINT* pt, IUnknown* target, IDispatch* object) {
    return Handler().ShowContextMenu(this, id, pt, target, object);
}

STDMETHODIMP CWebBrowserUI::GetHostInfo(DOCHOSTUIINFO* info) {
    if (!info) return E_POINTER;
    info->dwFlags |= DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_NO3DOUTERBORDER;
    return Handler().GetHostInfo(this, info);
}

STDMETHODIMP CWebBrowserUI::ShowUI(DWORD id, IOleInPlaceActiveObject* active, IOleCommandTarget* target,
                                   IOleInPlaceFrame* frame, IOleInPlaceUIWindow* document) {
    return Handler().ShowUI(this, id, active, target, frame, document);
}

STDMETHODIMP CWebBrowserUI::HideUI() { return Handler().HideUI(this); }
STDMETHODIMP CWebBrowserUI::UpdateUI() { return Handler().UpdateUI(this); }
STDMETHODIMP CWebBrowserUI::EnableModeless(BOOL enable) { return Handler().EnableModeless(this, enable); }

STDMETHODIMP CWebBrowserUI::OnDocWindowActivate(BOOL activate) {
    return Handler().OnDocWindowActivate(this, activate);
}

STDMETHODIMP CWebBrowserUI::OnFrameWindowActivate(BOOL activate) {
    return Handler().OnFrameWindowActivate(this, activate);
}

STDMETHODIMP CWebBrowserUI::ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window, BOOL frameWindow) {
    return Handler().ResizeBorder(this, border, window, frameWindow);
}

STDMETHODIMP CWebBrowserUI::TranslateAccelerator(LPMSG msg, const GUID* group, DWORD command) {
    return Handler().TranslateAccelerator(this, msg, group, command);
}

STDMETHODIMP CWebBrowserUI::GetOptionKeyPath(LPOLESTR* key, DWORD reserved) {
    return Handler().GetOptionKeyPath(this, key, reserved);
}

STDMETHODIMP CWebBrowserUI::GetDropTarget(IDropTarget* dropTarget, IDropTarget** target) {
    return Handler().GetDropTarget(this, dropTarget, target);
}

STDMETHODIMP CWebBrowserUI::GetExternal(IDispatch** external) { return Handler().GetExternal(this, external); }

STDMETHODIMP CWebBrowserUI::TranslateUrl(DWORD translate, LPWSTR url, LPWSTR* translated) {
    return Handler().TranslateUrl(this, translate, url, translated);
}

STDMETHODIMP CWebBrowserUI::FilterDataObject(IDataObject* object, IDataObject** filtered) {
    return Handler().FilterDataObject(this, object, filtered);
}

// ---- Services and commands ----

STDMETHODIMP CWebBrowserUI::QueryService(REFGUID service, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!IsEqualGUID(service, IID_IInternetSecurityManager) || !IsEqualIID(iid, IID_IInternetSecurityManager)) {
        return E_NOINTERFACE;
    }
    *out = static_cast<IInternetSecurityManager*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP CWebBrowserUI::QueryStatus(const GUID*, ULONG, OLECMD[], OLECMDTEXT*) {
    return OLECMDERR_E_NOTSUPPORTED;
}

STDMETHODIMP CWebBrowserUI::Exec(const GUID* group, DWORD command, DWORD, VARIANT* in, VARIANT* out) {
    if (!group || !IsEqualGUID(*group, kDocHostCommandHandler)) return OLECMDERR_E_UNKNOWNGROUP;
    if (command != kShowScriptError) return OLECMDERR_E_NOTSUPPORTED;
    // True: the page's scripts go on running and no error dialog shows.
    if (out) {
        out->vt = VT_BOOL;
        out->boolVal = VARIANT_TRUE;
    }
    return ReadScriptError(in);
}

// ---- The security manager: every decision left to the zone's own policy ----

STDMETHODIMP CWebBrowserUI::SetSecuritySite(IInternetSecurityMgrSite*) { return S_OK; }

STDMETHODIMP CWebBrowserUI::GetSecuritySite(IInternetSecurityMgrSite** site) {
    if (site) *site = nullptr;
    return INET_E_DEFAULT_ACTION;
}

STDMETHODIMP CWebBrowserUI::MapUrlToZone(LPCWSTR, DWORD*, DWORD) { return INET_E_DEFAULT_ACTION; }
STDMETHODIMP CWebBrowserUI::GetSecurityId(LPCWSTR, BYTE*, DWORD*, DWORD_PTR) { return INET_E_DEFAULT_ACTION; }

STDMETHODIMP CWebBrowserUI::ProcessUrlAction(LPCWSTR, DWORD, BYTE*, DWORD, BYTE*, DWORD, DWORD, DWORD) {
    return INET_E_DEFAULT_ACTION;
}

STDMETHODIMP CWebBrowserUI::QueryCustomPolicy(LPCWSTR, REFGUID, BYTE** policy, DWORD* policySize, BYTE*, DWORD,
                                              DWORD) {
    if (policy) *policy = nullptr;
    if (policySize) *policySize = 0;
    return INET_E_DEFAULT_ACTION;
}

STDMETHODIMP CWebBrowserUI::SetZoneMapping(DWORD, LPCWSTR, DWORD) { return S_OK; }

STDMETHODIMP CWebBrowserUI::GetZoneMappings(DWORD, IEnumString** patterns, DWORD) {
    if (patterns) *patterns = nullptr;
    return INET_E_DEFAULT_ACTION;
}

// ---- Keys ----

LRESULT CWebBrowserUI::TranslateAccelerator(MSG* msg) { return TranslateKeyInHost(m_browser.Get(), msg); }

HRESULT CWebBrowserUI::RegisterEventHandler(bool connect) {
    if (!m_browser) return E_PENDING;
    return ConnectEvents(m_browser.Get(), kWebBrowserEvents2, static_cast<IDispatch*>(this), m_eventCookie, connect);
}

CWebBrowserEventHandler& CWebBrowserUI::Handler() const { return m_handler ? *m_handler : DefaultHandler(); }

void CWebBrowserUI::InstallUIHandler() {
    if (!m_browser) return;
    CComRef<IDispatch> document;
    if (FAILED(m_browser->get_Document(document.Receive())) || !document) return;
    CComRef<ICustomDoc> custom;
    if (SUCCEEDED(document->QueryInterface(__uuidof(ICustomDoc), custom.ReceiveVoid()))) {
        custom->SetUIHandler(static_cast<IDocHostUIHandler*>(this));
    }
}

}  // namespace KvUI
