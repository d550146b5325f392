#pragma once
#include <windows.h>
#include <ole2.h>

#include "ui/core/ControlUI.h"
#include "win/ComRef.h"

namespace KvUI {

class CActiveXCtrl;
class CActiveXWnd;

// Embeds an ActiveX (OLE) object named by a class or programmatic identifier,
// optionally loaded from a given module instead of the registry. A windowless
// object draws into the window's off-screen bitmap and gets the window's
// messages through a message filter; a windowed one lives in a native child
// window laid over the control.
class CActiveXUI : public CControlUI, public IMessageFilterUI {
public:
    CActiveXUI();
    ~CActiveXUI() override;

    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR name) override;
    void SetPos(RECT rc, bool needInvalidate = true) override;
    void Move(int dx, int dy, bool needInvalidate = true) override;
    void SetVisible(bool visible = true) override;
    void SetInternVisible(bool visible = true) override;
    bool DoPaint(HDC dc, const RECT& paint, CControlUI* stopControl) override;
    void SetAttribute(LPCTSTR name, LPCTSTR value) override;
    LRESULT MessageHandler(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override;

    virtual bool IsDelayCreate() const;
    virtual void SetDelayCreate(bool delayCreate = true);
    virtual bool GetHostFlag() const;
    virtual void SetHostFlag(bool host);
    virtual void ReleaseControl();
    virtual bool DoCreateControl();

    bool SetClsid(LPCTSTR clsid);
    bool SetClsid(REFCLSID clsid);
    const CLSID& GetClsid() const { return m_clsid; }
    const CUIString& GetModuleName() const { return m_moduleName; }
    void SetModuleName(LPCTSTR moduleName);
    // E_PENDING while no object exists.
    HRESULT GetControl(REFIID iid, void** out) const;
    HWND GetHostWindow() const { return m_hostWindow; }

protected:
    // Connects (or disconnects) `sink` to the events `events` of `source`.
    static HRESULT ConnectEvents(IUnknown* source, REFIID events, IUnknown* sink, DWORD& cookie, bool connect);
    // Offers a key message to `object`'s in-place active part, only while the
    // focus lies in the host window or below it.
    HRESULT TranslateKeyInHost(IUnknown* object, MSG* msg) const;

    CLSID m_clsid = {};
    CUIString m_moduleName;
    bool m_created = false;

private:
    friend class CActiveXCtrl;
    friend class CActiveXWnd;

    bool IsWindowed() const;
    void MoveNativeWindow();

    bool m_delayCreate = true;
    bool m_hostFlag = false;
    kvwin::CComRef<IOleObject> m_object;
    kvwin::CComRef<CActiveXCtrl> m_site;
    HWND m_hostWindow = nullptr;
};

}  // namespace KvUI
