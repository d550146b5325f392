#pragma once
// The base of every control: geometry and sizing constraints, colours,
// images and border, state, attributes from the skin, events, and painting
// in a fixed order of layers.
#include <windows.h>

#include "ui/core/Delegate.h"
#include "ui/core/UIDefine.h"
#include "ui/core/UIGeometry.h"
#include "ui/core/UIString.h"
#include "ui/core/StringHashMap.h"

namespace KvUI {

class CPaintManagerUI;

// Placement of a floating control as fractions of its parent.
struct TPercentInfo {
    double left = 0;
    double top = 0;
    double right = 0;
    double bottom = 0;
};

class CControlUI {
public:
    CControlUI();
    CControlUI(const CControlUI&) = delete;
    CControlUI& operator=(const CControlUI&) = delete;
    virtual ~CControlUI();

    // Identity and tree.
    virtual const CUIString& GetName() const;
    virtual void SetName(LPCTSTR name);
    virtual LPCTSTR GetClass() const;
    virtual LPVOID GetInterface(LPCTSTR name);
    virtual UINT GetControlFlags() const;
    virtual bool Activate();
    virtual CPaintManagerUI* GetManager() const;
    virtual void SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init = true);
    virtual CControlUI* GetParent() const;

    // Text.
    virtual CUIString GetText() const;
    virtual void SetText(LPCTSTR text);
    virtual bool IsResourceText() const;
    virtual void SetResourceText(bool resourceText);

    virtual bool IsDragEnabled() const;
    virtual void SetDragEnable(bool enable);
    virtual bool IsDropEnabled() const;
    virtual void SetDropEnable(bool enable);

    // Geometry: getters scale for the display, setters keep skin (96 dpi) values.
    virtual RECT GetRelativePos() const;
    virtual RECT GetClientPos() const;
    virtual const RECT& GetPos() const;
    virtual void SetPos(RECT rc, bool needInvalidate = true);
    virtual void Move(int dx, int dy, bool needInvalidate = true);
    virtual int GetWidth() const;
    virtual int GetHeight() const;
    virtual int GetX() const;
    virtual int GetY() const;
    virtual RECT GetPadding() const;
    virtual void SetPadding(RECT padding);
    virtual SIZE GetFixedXY() const;
    virtual void SetFixedXY(SIZE xy);
    virtual int GetFixedWidth() const;
    virtual void SetFixedWidth(int cx);
    virtual int GetFixedHeight() const;
    virtual void SetFixedHeight(int cy);
    virtual int GetMinWidth() const;
    virtual void SetMinWidth(int cx);
    virtual int GetMaxWidth() const;
    virtual void SetMaxWidth(int cx);
    virtual int GetMinHeight() const;
    virtual void SetMinHeight(int cy);
    virtual int GetMaxHeight() const;
    virtual void SetMaxHeight(int cy);
    virtual TPercentInfo GetFloatPercent() const;
    virtual void SetFloatPercent(TPercentInfo percent);
    virtual void SetFloatAlign(UINT align);
    virtual UINT GetFloatAlign() const;

    virtual CUIString GetToolTip() const;
    virtual void SetToolTip(LPCTSTR text);
    virtual void SetToolTipWidth(int width);
    virtual int GetToolTipWidth() const;
    virtual WORD GetCursor() const;
    virtual void SetCursor(WORD cursor);
    virtual TCHAR GetShortcut() const;
    virtual void SetShortcut(TCHAR ch);
    virtual bool IsContextMenuUsed() const;
    virtual void SetContextMenuUsed(bool used);
    virtual const CUIString& GetUserData() const;
    virtual void SetUserData(LPCTSTR text);
    virtual UINT_PTR GetTag() const;
    virtual void SetTag(UINT_PTR tag);

    // State.
    virtual bool IsVisible() const;
    virtual void SetVisible(bool visible = true);
    virtual void SetInternVisible(bool visible = true);
    virtual bool IsEnabled() const;
    virtual void SetEnabled(bool enabled = true);
    virtual bool IsMouseEnabled() const;
    virtual void SetMouseEnabled(bool enabled = true);
    virtual bool IsKeyboardEnabled() const;
    virtual void SetKeyboardEnabled(bool enabled = true);
    virtual bool IsFocused() const;
    virtual void SetFocus();
    virtual bool IsFloat() const;
    virtual void SetFloat(bool isFloat = true);

    virtual CControlUI* FindControl(FINDCONTROLPROC proc, LPVOID data, UINT flags);

    virtual void Init();
    virtual void DoInit();
    virtual void Event(TUIEvent& event);
    virtual void DoEvent(TUIEvent& event);
    virtual void SetAttribute(LPCTSTR name, LPCTSTR value);
    virtual SIZE EstimateSize(SIZE available);

    // Painting, layer by layer.
    virtual bool Paint(HDC dc, const RECT& paint, CControlUI* stopControl);
    virtual bool DoPaint(HDC dc, const RECT& paint, CControlUI* stopControl);
    virtual void PaintBkColor(HDC dc);
    virtual void PaintBkImage(HDC dc);
    virtual void PaintStatusImage(HDC dc);
    virtual void PaintForeColor(HDC dc);
    virtual void PaintForeImage(HDC dc);
    virtual void PaintText(HDC dc);
    virtual void PaintBorder(HDC dc);
    virtual void DoPostPaint(HDC dc, const RECT& paint);

    // Virtual windows route notifications to named notification pumps.
    CUIString GetVirtualWnd() const;
    void SetVirtualWnd(LPCTSTR name);

    // Colours, images and border.
    LPCTSTR GetGradient() const { return m_gradient.GetData(); }
    void SetGradient(LPCTSTR direction);
    DWORD GetBkColor() const { return m_bkColor; }
    void SetBkColor(DWORD color);
    DWORD GetBkColor2() const { return m_bkColor2; }
    void SetBkColor2(DWORD color);
    DWORD GetBkColor3() const { return m_bkColor3; }
    void SetBkColor3(DWORD color);
    DWORD GetForeColor() const { return m_foreColor; }
    void SetForeColor(DWORD color);
    LPCTSTR GetBkImage() const { return m_bkImage.GetData(); }
    void SetBkImage(LPCTSTR image);
    LPCTSTR GetForeImage() const { return m_foreImage.GetData(); }
    void SetForeImage(LPCTSTR image);
    DWORD GetBorderColor() const { return m_borderColor; }
    void SetBorderColor(DWORD color);
    DWORD GetFocusBorderColor() const { return m_focusBorderColor; }
    void SetFocusBorderColor(DWORD color);
    bool IsColorHSL() const { return m_colorHSL; }
    void SetColorHSL(bool colorHSL);
    int GetBorderSize() const;
    void SetBorderSize(int size);
    int GetBorderStyle() const { return m_borderStyle; }
    void SetBorderStyle(int style);
    SIZE GetBorderRound() const;
    void SetBorderRound(SIZE round);
    RECT GetBorderRect() const;
    void SetBorderRect(RECT rc);
    int GetLeftBorderSize() const;
    void SetLeftBorderSize(int size);
    int GetTopBorderSize() const;
    void SetTopBorderSize(int size);
    int GetRightBorderSize() const;
    void SetRightBorderSize(int size);
    int GetBottomBorderSize() const;
    void SetBottomBorderSize(int size);

    DWORD GetAdjustColor(DWORD color) const;
    bool DrawImage(HDC dc, LPCTSTR drawString, LPCTSTR modifyString = nullptr);

    // Layout and repaint.
    void Invalidate();
    bool IsUpdateNeeded() const { return m_updateNeeded; }
    void NeedUpdate();
    void NeedParentUpdate();

    // Attributes.
    void ApplyAttributeList(LPCTSTR list);
    void AddCustomAttribute(LPCTSTR name, LPCTSTR value);
    LPCTSTR GetCustomAttribute(LPCTSTR name) const;
    void RemoveAllCustomAttribute();

    // Application callbacks, invoked with the control (OnNotify: with the notification).
    CEventSource OnInit;
    CEventSource OnDestroy;
    CEventSource OnSize;
    CEventSource OnEvent;
    CEventSource OnNotify;

protected:
    int Scaled(int n) const;
    const RECT& GetPaintRect() const { return m_paintRect; }

    CPaintManagerUI* m_manager = nullptr;
    CControlUI* m_parent = nullptr;
    CUIString m_virtualWnd;
    CUIString m_name;
    bool m_updateNeeded = true;
    bool m_menuUsed = false;
    RECT m_itemRect = {};
    RECT m_padding = {};
    SIZE m_fixedXY = {};
    int m_fixedWidth = 0;
    int m_fixedHeight = 0;
    int m_minWidth = 0;
    int m_minHeight = 0;
    int m_maxWidth = 9999;
    int m_maxHeight = 9999;
    bool m_visible = true;
    bool m_internVisible = true;
    bool m_enabled = true;
    bool m_mouseEnabled = true;
    bool m_keyboardEnabled = true;
    bool m_focused = false;
    bool m_float = false;
    TPercentInfo m_floatPercent;
    UINT m_floatAlign = 0;
    bool m_setPosGuard = false;
    bool m_dragEnabled = false;
    bool m_dropEnabled = false;
    bool m_resourceText = false;
    CUIString m_text;
    CUIString m_toolTip;
    TCHAR m_shortcut = 0;
    CUIString m_userData;
    UINT_PTR m_tag = 0;
    CUIString m_gradient;
    DWORD m_bkColor = 0;
    DWORD m_bkColor2 = 0;
    DWORD m_bkColor3 = 0;
    DWORD m_foreColor = 0;
    CUIString m_bkImage;
    CUIString m_foreImage;
    DWORD m_borderColor = 0;
    DWORD m_focusBorderColor = 0;
    bool m_colorHSL = false;
    int m_borderSize = 0;
    int m_borderStyle = PS_SOLID;
    int m_toolTipWidth = 300;
    WORD m_cursor = 0;
    SIZE m_borderRound = {};
    RECT m_paintRect = {};
    RECT m_borderRect = {};
    OwnedStringMap<CUIString> m_customAttributes{83};

private:
    struct StyleFrame;
    bool ApplyStyle(LPCTSTR name);

    // The styles being applied right now, innermost first; a style met again
    // inside itself is not applied a second time.
    const StyleFrame* m_stylesInProgress = nullptr;
};

}  // namespace KvUI
