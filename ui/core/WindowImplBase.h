#pragma once
// The base of every skinned frame: it binds a window to its paint manager,
// builds the window's controls from the skin on WM_CREATE, lets the skin
// draw the whole window (no system caption or border), drags and sizes the
// window through hit testing, keeps the corner ellipse as the window region
// and wires the system buttons by name.
#include <windows.h>

#include "ui/core/DialogBuilder.h"
#include "ui/core/NotifyPump.h"
#include "ui/core/PaintManagerUI.h"
#include "ui/core/UIDefine.h"
#include "ui/core/UIString.h"
#include "ui/core/WindowWnd.h"

namespace KvUI {

class WindowImplBase : public CWindowWnd,
                       public CNotifyPump,
                       public INotifyUI,
                       public IMessageFilterUI,
                       public IDialogBuilderCallback,
                       public IQueryControlText {
public:
    WindowImplBase() = default;
    ~WindowImplBase() override = default;

    // Runs once the skin's controls are attached to the manager.
    virtual void InitWindow();
    // The system buttons: "closebtn", "minbtn", "maxbtn", "restorebtn".
    virtual void OnClick(TUINotify& msg);
    // True for controls that only show (labels, plain layouts) and lie in
    // such controls only: there the caption band drags the window.
    virtual bool IsInStaticControl(CControlUI* control);

protected:
    LPCTSTR GetSuperClassName() const override;
    UINT GetClassStyle() const override;
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnFinalMessage(HWND hWnd) override;

    // Empty: the skin is a file; otherwise the resource type of the skin,
    // whose GetSkinFile is then a decimal resource id.
    virtual CUIString GetSkinType();
    virtual CUIString GetSkinFile() = 0;
    virtual LPCTSTR GetManagerName();
    virtual bool ResponseDefaultKeyEvent(WPARAM key);

    // Each handler sets `handled` to false when the message goes on to the
    // manager and the default window procedure.
    virtual LRESULT OnClose(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnDestroy(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnNcActivate(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnNcCalcSize(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnNcPaint(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnNcHitTest(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnGetMinMaxInfo(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnMouseWheel(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnMouseHover(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnSize(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnChar(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnSysCommand(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnCreate(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnKeyDown(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnKillFocus(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnSetFocus(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnLButtonDown(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnLButtonUp(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnMouseMove(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT HandleCustomMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);
    // The window's current style without the caption bits.
    virtual LONG GetStyle();

public:
    // What the further bases ask of a window: notification routing by the
    // window's map ("click" goes to OnClick), the RETURN/ESC filter, the
    // builder's callback (no controls of its own) and the control texts.
    KVUI_DECLARE_NOTIFY_MAP()
    void Notify(TUINotify& msg) override;
    LRESULT MessageHandler(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override;
    CControlUI* CreateControl(LPCTSTR className) override;
    LPCTSTR QueryControlText(LPCTSTR id, int type) override;

protected:
    CPaintManagerUI m_pm;
};

}  // namespace KvUI
