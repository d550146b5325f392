#pragma once
#include <windows.h>
#include <docobj.h>
#include <mshtmhst.h>
#include <oaidl.h>

namespace KvUI {

class CWebBrowserUI;

// What an application may learn from, and decide for, a web browser control:
// the browser's events and its document host calls. Every method receives the
// control first. Each default answers as the control does without a handler,
// so an application overrides only what it cares about.
class CWebBrowserEventHandler {
public:
    virtual ~CWebBrowserEventHandler() = default;

    virtual void BeforeNavigate2(CWebBrowserUI*, IDispatch*, VARIANT* /*url*/, VARIANT* /*flags*/,
                                 VARIANT* /*targetFrame*/, VARIANT* /*postData*/, VARIANT* /*headers*/,
                                 VARIANT_BOOL* /*cancel*/) {}
    virtual void NavigateError(CWebBrowserUI*, IDispatch*, VARIANT* /*url*/, VARIANT* /*targetFrame*/,
                               VARIANT* /*statusCode*/, VARIANT_BOOL* /*cancel*/) {}
    virtual void NavigateComplete2(CWebBrowserUI*, IDispatch*, VARIANT* /*url*/) {}
    virtual void ProgressChange(CWebBrowserUI*, LONG /*progress*/, LONG /*progressMax*/) {}
    virtual void NewWindow3(CWebBrowserUI*, IDispatch** /*dispatch*/, VARIANT_BOOL* /*cancel*/, DWORD /*flags*/,
                            BSTR /*urlContext*/, BSTR /*url*/) {}
    virtual void CommandStateChange(CWebBrowserUI*, LONG /*command*/, VARIANT_BOOL /*enable*/) {}
    virtual void TitleChange(CWebBrowserUI*, BSTR /*title*/) {}
    virtual void DocumentComplete(CWebBrowserUI*, IDispatch*, VARIANT* /*url*/) {}

    // The document host: S_FALSE lets the browser show its own menu.
    virtual HRESULT ShowContextMenu(CWebBrowserUI*, DWORD, POINT*, IUnknown*, IDispatch*) { return S_FALSE; }
    virtual HRESULT GetHostInfo(CWebBrowserUI*, DOCHOSTUIINFO*) { return S_OK; }
    virtual HRESULT ShowUI(CWebBrowserUI*, DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*,
                           IOleInPlaceUIWindow*) {
        return S_OK;
    }
    virtual HRESULT HideUI(CWebBrowserUI*) { return S_OK; }
    virtual HRESULT UpdateUI(CWebBrowserUI*) { return S_OK; }
    virtual HRESULT EnableModeless(CWebBrowserUI*, BOOL) { return E_NOTIMPL; }
    virtual HRESULT OnDocWindowActivate(CWebBrowserUI*, BOOL) { return E_NOTIMPL; }
    virtual HRESULT OnFrameWindowActivate(CWebBrowserUI*, BOOL) { return E_NOTIMPL; }
    virtual HRESULT ResizeBorder(CWebBrowserUI*, LPCRECT, IOleInPlaceUIWindow*, BOOL) { return E_NOTIMPL; }
    virtual HRESULT TranslateAccelerator(CWebBrowserUI*, LPMSG, const GUID*, DWORD) { return S_FALSE; }
    virtual HRESULT GetOptionKeyPath(CWebBrowserUI*, LPOLESTR* key, DWORD) {
        if (key) *key = nullptr;
        return E_NOTIMPL;
    }
    // S_FALSE keeps the browser's own drop target and external object.
    virtual HRESULT GetDropTarget(CWebBrowserUI*, IDropTarget*, IDropTarget** target) {
        if (target) *target = nullptr;
        return S_FALSE;
    }
    virtual HRESULT GetExternal(CWebBrowserUI*, IDispatch** external) {
        if (external) *external = nullptr;
        return S_FALSE;
    }
    virtual HRESULT TranslateUrl(CWebBrowserUI*, DWORD, LPWSTR, LPWSTR* translated) {
        if (translated) *translated = nullptr;
        return E_NOTIMPL;
    }
    virtual HRESULT FilterDataObject(CWebBrowserUI*, IDataObject*, IDataObject** filtered) {
        if (filtered) *filtered = nullptr;
        return E_NOTIMPL;
    }

    // A call of the application's own through the control.
    virtual int ForwardCall(CWebBrowserUI*, UINT_PTR, UINT_PTR, UINT_PTR, UINT_PTR, UINT_PTR, UINT_PTR, UINT_PTR,
                            UINT_PTR) {
        return 0;
    }
};

}  // namespace KvUI
