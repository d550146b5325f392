#pragma once
// The soft drop shadow around a skinned top-level window: a click-through,
// layered pop-up owned by the frame, one margin larger than it and kept right
// behind it. Its picture is computed from the frame's outline (blurred and
// darkened, the frame's own area cut out) or drawn from a nine-grid skin image.
#include <windows.h>

#include "ui/core/UIString.h"

namespace KvUI {

class CPaintManagerUI;

class CShadowUI {
public:
    CShadowUI() = default;
    CShadowUI(const CShadowUI&) = delete;
    CShadowUI& operator=(const CShadowUI&) = delete;
    virtual ~CShadowUI();

    // Registers the shadow's window class once per process; false when it was
    // registered already (or cannot be).
    static bool Initialize(HINSTANCE instance);

    // Makes the shadow window for the manager's frame and starts following the
    // frame; nothing unless the shadow is switched on. A frame is followed by
    // one shadow only: a second call for the same frame changes nothing.
    void Create(CPaintManagerUI* manager);

    // Each setter refuses a value out of its range (false, nothing changes)
    // and redraws a shown shadow at once.
    bool SetSize(int size);                   // -35 to 35
    bool SetSharpness(unsigned int sharpness);  // 0 to 35
    bool SetDarkness(unsigned int darkness);  // 0 to 255
    bool SetPosition(int x, int y);           // each -35 to 35
    bool SetColor(COLORREF color);
    bool SetImage(LPCTSTR image);
    bool SetShadowCorner(RECT corner);        // all four 0 or more
    bool ShowShadow(bool show);
    bool IsShowShadow() const { return m_showShadow; }

    // Gives `other` this shadow's settings (menus and drop-downs take their
    // owner's shadow this way).
    bool CopyShadow(CShadowUI* other) const;

    // Redraws the shadow for the frame's current outline and puts it in place.
    void Update(HWND frame);

    // The colour's three bytes scaled by alpha / 255; the top byte is 0.
    static DWORD PreMultiply(COLORREF color, BYTE alpha);

private:
    static LRESULT CALLBACK FrameProc(HWND frame, UINT msg, WPARAM wParam, LPARAM lParam);
    void OnFrameMessage(HWND frame, UINT msg, WPARAM wParam, LPARAM lParam);
    void RedrawIfShown();
    POINT ShadowOrigin(const RECT& frameRect) const;
    void MoveBehind(HWND frame);
    void HideWithFrame();
    void ShowWithFrame();
    void MakeShadow(DWORD* pixels, HWND frame, const RECT& frameRect) const;
    bool DrawImage(HDC dc, int width, int height);

    CPaintManagerUI* m_manager = nullptr;
    HWND m_hWnd = nullptr;
    WNDPROC m_oldFrameProc = nullptr;
    BYTE m_status = 0;
    bool m_useImage = false;
    bool m_showShadow = false;
    BYTE m_darkness = 150;
    BYTE m_sharpness = 5;
    signed char m_size = 0;
    signed char m_xOffset = 0;
    signed char m_yOffset = 0;
    LPARAM m_lastFrameSize = 0;
    bool m_updatePending = false;
    COLORREF m_color = 0;
    CUIString m_image;
    RECT m_imageCorner = {};
};

}  // namespace KvUI
