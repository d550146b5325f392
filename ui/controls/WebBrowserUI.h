#pragma once
#include <windows.h>
#include <exdisp.h>
#include <mshtmhst.h>
#include <servprov.h>
#include <urlmon.h>

#include "ui/controls/ActiveXUI.h"
#include "ui/controls/WebBrowserEventHandler.h"
#include "win/ComObject.h"

namespace KvUI {

// Hosts the system's web browser object: its document host, service
// provider, command target (script errors run on without a dialog), event
// sink, security manager and key translator, forwarding to an optional event
// handler of the application. The control's lifetime is the UI tree's: the
// count of its COM parts frees nothing.
class CWebBrowserUI : public CActiveXUI,
                      public kvwin::ComObjectNoDelete<IDocHostUIHandler, IServiceProvider, IOleCommandTarget,
                                                      IDispatch, IInternetSecurityManager>,
                      public ITranslateAccelerator {
public:
    CWebBrowserUI();
    ~CWebBrowserUI() override;

    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR name) override;
    void SetAttribute(LPCTSTR name, LPCTSTR value) override;
    bool DoCreateControl() override;
    void ReleaseControl() override;
    virtual int ForwardHandlerCall(UINT_PTR w1, UINT_PTR w2, UINT_PTR w3, UINT_PTR w4, UINT_PTR w5, UINT_PTR w6,
                                   UINT_PTR w7, UINT_PTR w8);

    void Navigate2(LPCTSTR url);
    // The handler stays the application's; null removes it.
    void SetWebBrowserEventHandler(CWebBrowserEventHandler* handler);
    IWebBrowser2* GetWebBrowser2() const { return m_browser.Get(); }

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;

    // IDispatch: the DWebBrowserEvents2 sink.
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* exception, UINT* argError) override;

    // IDocHostUIHandler
    STDMETHODIMP ShowContextMenu(DWORD id, POINT* pt, IUnknown* target, IDispatch* object) override;
    STDMETHODIMP GetHostInfo(DOCHOSTUIINFO* info) override;
    STDMETHODIMP ShowUI(DWORD id, IOleInPlaceActiveObject* active, IOleCommandTarget* target,
                        IOleInPlaceFrame* frame, IOleInPlaceUIWindow* document) override;
    STDMETHODIMP HideUI() override;
    STDMETHODIMP UpdateUI() override;
    STDMETHODIMP EnableModeless(BOOL enable) override;
    STDMETHODIMP OnDocWindowActivate(BOOL activate) override;
    STDMETHODIMP OnFrameWindowActivate(BOOL activate) override;
    STDMETHODIMP ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window, BOOL frameWindow) override;
    STDMETHODIMP TranslateAccelerator(LPMSG msg, const GUID* group, DWORD command) override;
    STDMETHODIMP GetOptionKeyPath(LPOLESTR* key, DWORD reserved) override;
    STDMETHODIMP GetDropTarget(IDropTarget* dropTarget, IDropTarget** target) override;
    STDMETHODIMP GetExternal(IDispatch** external) override;
    STDMETHODIMP TranslateUrl(DWORD translate, LPWSTR url, LPWSTR* translated) override;
    STDMETHODIMP FilterDataObject(IDataObject* object, IDataObject** filtered) override;

    // IServiceProvider
    STDMETHODIMP QueryService(REFGUID service, REFIID iid, void** out) override;

    // IOleCommandTarget
    STDMETHODIMP QueryStatus(const GUID* group, ULONG count, OLECMD commands[], OLECMDTEXT* text) override;
    STDMETHODIMP Exec(const GUID* group, DWORD command, DWORD options, VARIANT* in, VARIANT* out) override;

    // IInternetSecurityManager
    STDMETHODIMP SetSecuritySite(IInternetSecurityMgrSite* site) override;
    STDMETHODIMP GetSecuritySite(IInternetSecurityMgrSite** site) override;
    STDMETHODIMP MapUrlToZone(LPCWSTR url, DWORD* zone, DWORD flags) override;
    STDMETHODIMP GetSecurityId(LPCWSTR url, BYTE* id, DWORD* size, DWORD_PTR reserved) override;
    STDMETHODIMP ProcessUrlAction(LPCWSTR url, DWORD action, BYTE* policy, DWORD policySize, BYTE* context,
                                  DWORD contextSize, DWORD flags, DWORD reserved) override;
    STDMETHODIMP QueryCustomPolicy(LPCWSTR url, REFGUID key, BYTE** policy, DWORD* policySize, BYTE* context,
                                   DWORD contextSize, DWORD reserved) override;
    STDMETHODIMP SetZoneMapping(DWORD zone, LPCWSTR pattern, DWORD flags) override;
    STDMETHODIMP GetZoneMappings(DWORD zone, IEnumString** patterns, DWORD flags) override;

    // The key translator the paint manager asks first.
    LRESULT TranslateAccelerator(MSG* msg) override;

private:
    HRESULT RegisterEventHandler(bool connect);
    CWebBrowserEventHandler& Handler() const;
    void InstallUIHandler();

    kvwin::CComRef<IWebBrowser2> m_browser;
    DWORD m_eventCookie = 0;
    CUIString m_homePage;
    bool m_autoNavigate = false;
    CWebBrowserEventHandler* m_handler = nullptr;
};

}  // namespace KvUI
