#pragma once
// The host of the windowless rich-text engine: it answers the engine's
// questions (device context, caret, timers, capture, scroll bars, client
// rectangle, formats) from the rich edit control it serves and its paint
// manager, and pushes the control's settings into the engine.
#include <windows.h>
#include <richedit.h>
#include <textserv.h>

#include "win/ComObject.h"
#include "win/ComRef.h"

namespace KvUI {

class CRichEditUI;

class CTxtWinHost : public kvwin::ComObject<ITextHost> {
public:
    CTxtWinHost();

    // Binds the host to `owner` and creates the engine; false when the engine
    // cannot be had (the host is then of no use).
    bool Init(CRichEditUI* owner, const CREATESTRUCTW* params);
    ITextServices* GetTextServices() const { return m_services.Get(); }

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;

    // ITextHost, in the interface's order.
    HDC TxGetDC() override;
    INT TxReleaseDC(HDC dc) override;
    BOOL TxShowScrollBar(INT bar, BOOL show) override;
    BOOL TxEnableScrollBar(INT bars, INT arrows) override;
    BOOL TxSetScrollRange(INT bar, LONG minPos, INT maxPos, BOOL redraw) override;
    BOOL TxSetScrollPos(INT bar, INT pos, BOOL redraw) override;
    void TxInvalidateRect(LPCRECT rc, BOOL mode) override;
    void TxViewChange(BOOL update) override;
    BOOL TxCreateCaret(HBITMAP bitmap, INT width, INT height) override;
    BOOL TxShowCaret(BOOL show) override;
    BOOL TxSetCaretPos(INT x, INT y) override;
    BOOL TxSetTimer(UINT id, UINT timeout) override;
    void TxKillTimer(UINT id) override;
    void TxScrollWindowEx(INT dx, INT dy, LPCRECT scroll, LPCRECT clip, HRGN update, LPRECT updateRect,
                          UINT flags) override;
    void TxSetCapture(BOOL capture) override;
    void TxSetFocus() override;
    void TxSetCursor(HCURSOR cursor, BOOL text) override;
    BOOL TxScreenToClient(LPPOINT pt) override;
    BOOL TxClientToScreen(LPPOINT pt) override;
    HRESULT TxActivate(LONG* oldState) override;
    HRESULT TxDeactivate(LONG newState) override;
    HRESULT TxGetClientRect(LPRECT rc) override;
    HRESULT TxGetViewInset(LPRECT rc) override;
    HRESULT TxGetCharFormat(const CHARFORMATW** format) override;
    HRESULT TxGetParaFormat(const PARAFORMAT** format) override;
    COLORREF TxGetSysColor(int index) override;
    HRESULT TxGetBackStyle(TXTBACKSTYLE* style) override;
    HRESULT TxGetMaxLength(DWORD* length) override;
    HRESULT TxGetScrollBars(DWORD* scrollBars) override;
    HRESULT TxGetPasswordChar(TCHAR* ch) override;
    HRESULT TxGetAcceleratorPos(LONG* pos) override;
    HRESULT TxGetExtent(LPSIZEL extent) override;
    HRESULT OnTxCharFormatChange(const CHARFORMATW* format) override;
    HRESULT OnTxParaFormatChange(const PARAFORMAT* format) override;
    HRESULT TxGetPropertyBits(DWORD mask, DWORD* bits) override;
    HRESULT TxNotify(DWORD code, void* data) override;
    HIMC TxImmGetContext() override;
    void TxImmReleaseContext(HIMC context) override;
    HRESULT TxGetSelectionBarWidth(LONG* width) override;

    // Settings the control pushes into the engine.
    void SetFont(HFONT font);
    void SetColor(DWORD argb);
    void LimitText(LONG length);
    void SetRichTextFlag(bool rich);
    void SetTransparent(bool transparent);
    void SetClientRect(const RECT* rc);
    HRESULT ActivateInPlace(const RECT* rc);
    bool DoSetCursor(const RECT* rc, const POINT* pt);
    void SetCaretNeedsRepaint() { m_caretNeedsRepaint = true; }

    bool GetCapture() const { return m_captured; }
    bool IsCaretShown() const { return m_caretShown; }
    int GetCaretWidth() const { return m_caretWidth; }
    int GetCaretHeight() const { return m_caretHeight; }
    const RECT& GetClientRect() const { return m_clientRect; }

protected:
    ~CTxtWinHost() override;

private:
    bool MakeCharFormat(HFONT font);
    void NotifyBits(DWORD mask, DWORD bits);
    void ApplyMaxLength();
    HWND PaintWindow() const;
    bool IsLayered() const;

    CRichEditUI* m_owner = nullptr;
    kvwin::CComRef<ITextServices> m_services;
    DWORD m_style = 0;
    bool m_wordWrap = false;
    bool m_richText = false;
    bool m_inPlaceActive = false;
    bool m_transparent = false;
    bool m_timerSet = false;
    bool m_captured = false;
    bool m_caretShown = false;
    bool m_caretNeedsRepaint = false;
    int m_caretWidth = 0;
    int m_caretHeight = 0;
    int m_lastCaretWidth = 0;
    int m_lastCaretHeight = 0;
    LONG m_selectionBarWidth = 0;
    LONG m_maxLength = 32767;
    RECT m_clientRect = {};
    SIZEL m_extent = {};
    CHARFORMAT2W m_charFormat = {};
    PARAFORMAT2 m_paraFormat = {};
    LONG m_acceleratorPos = -1;
    WCHAR m_passwordChar = 0;
};

// A host for `owner` with the engine ready, or nothing when the engine cannot
// be created.
kvwin::CComRef<CTxtWinHost> CreateHost(CRichEditUI* owner, const CREATESTRUCTW* params);

}  // namespace KvUI
