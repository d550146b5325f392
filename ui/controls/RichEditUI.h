#pragma once
// The multi-line, optionally rich-text edit. It has no window of its own:
// the windowless text engine holds, edits and draws its text through the
// host, and the control feeds the engine its window messages through the
// paint manager's message filters.
#include <windows.h>
#include <richedit.h>

#include "ui/controls/TxtWinHost.h"
#include "ui/core/ContainerUI.h"
#include "win/ComRef.h"

namespace KvUI {

class CRichEditUI : public CContainerUI, public IMessageFilterUI, public IWantTabUI {
public:
    CRichEditUI();
    ~CRichEditUI() override;

    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR name) override;
    UINT GetControlFlags() const override;

    bool IsMultiLine() const;
    void SetMultiLine(bool multiLine);
    bool IsWantTab() const override;
    void SetWantTab(bool want = true);
    bool IsWantReturn() const { return m_wantReturn; }
    void SetWantReturn(bool want = true);
    bool IsWantCtrlReturn() const { return m_wantCtrlReturn; }
    void SetWantCtrlReturn(bool want = true);
    bool IsTransparent() const { return m_transparent; }
    void SetTransparent(bool transparent = true);
    bool IsRich() const;
    void SetRich(bool rich = true);
    bool IsReadOnly() const;
    int GetFont() const;
    void SetFont(int index);
    DWORD GetTextColor() const;
    void SetTextColor(DWORD color);
    int GetLimitText() const;
    void SetLimitText(int limit);
    RECT GetTextPadding() const;
    void SetTextPadding(RECT padding);
    LPCTSTR GetTipValue() const { return m_tipValue.GetData(); }
    void SetTipValue(LPCTSTR text);
    DWORD GetTipValueColor() const { return m_tipValueColor; }
    void SetTipValueColor(DWORD color);
    LPCTSTR GetNormalImage() const { return m_normalImage.GetData(); }
    void SetNormalImage(LPCTSTR image);
    LPCTSTR GetHotImage() const { return m_hotImage.GetData(); }
    void SetHotImage(LPCTSTR image);
    LPCTSTR GetFocusedImage() const { return m_focusedImage.GetData(); }
    void SetFocusedImage(LPCTSTR image);
    LPCTSTR GetDisabledImage() const { return m_disabledImage.GetData(); }
    void SetDisabledImage(LPCTSTR image);

    // The engine's text and selection; without an engine they do nothing.
    long GetTextLength(DWORD flags = GTL_DEFAULT) const;
    CUIString GetText() const override;
    void SetText(LPCTSTR text) override;
    void SetSel(long start, long end);
    void SetSelAll();
    void ReplaceSel(LPCTSTR text, bool canUndo);
    WORD GetSelectionType() const;
    bool CanUndo() const;
    bool CanRedo() const;
    bool Undo();
    bool Redo();
    void Cut();
    void Copy();
    void Paste();
    void Clear();

    void SetPos(RECT rc, bool needInvalidate = true) override;
    void Move(int dx, int dy, bool needInvalidate = true) override;
    void DoInit() override;
    void DoEvent(TUIEvent& event) override;
    void SetAttribute(LPCTSTR name, LPCTSTR value) override;
    SIZE EstimateSize(SIZE available) override;
    bool DoPaint(HDC dc, const RECT& paint, CControlUI* stopControl) override;
    void PaintStatusImage(HDC dc) override;

    void SetScrollPos(SIZE pos, bool notify = true) override;
    void LineUp() override;
    void LineDown() override;
    void PageUp() override;
    void PageDown() override;
    void HomeUp() override;
    void EndDown() override;
    void LineLeft() override;
    void LineRight() override;
    void PageLeft() override;
    void PageRight() override;
    void HomeLeft() override;
    void EndRight() override;

    // The engine's side: messages to it, and what it reports back.
    virtual HRESULT TxSendMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result);
    virtual bool OnTxViewChanged();
    virtual void OnTxNotify(DWORD code, void* data);

    LRESULT MessageHandler(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override;

private:
    LRESULT Send(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
    // Asks the engine something that changes nothing.
    LRESULT Query(UINT msg, WPARAM wParam, LPARAM lParam) const;
    bool AcceptsMouse(UINT msg, LPARAM lParam) const;
    void ShowContextMenu(POINT screen);
    void RunMenuCommand(UINT command);
    void PlaceCompositionWindow() const;
    void BlinkCaret();
    void PaintLayeredCaret(HDC dc);
    void PaintTip(HDC dc);
    bool NaturalHeightFits(const RECT& view, LONG width, LONG& height) const;

    kvwin::CComRef<CTxtWinHost> m_host;
    bool m_vscrollAutoShown = false;
    bool m_wantTab = true;
    bool m_wantReturn = true;
    bool m_wantCtrlReturn = true;
    bool m_transparent = true;
    bool m_rich = true;
    bool m_readOnly = false;
    DWORD m_textColor = 0;
    int m_font = -1;
    int m_limitText = 32767;
    DWORD m_style = ES_MULTILINE;
    bool m_caretVisible = true;
    bool m_initialised = false;
    RECT m_textPadding = {};
    UINT m_state = 0;
    CUIString m_normalImage;
    CUIString m_hotImage;
    CUIString m_focusedImage;
    CUIString m_disabledImage;
    CUIString m_tipValue;
    DWORD m_tipValueColor = 0xFFBAC0C5;
    UINT m_tipValueAlign = DT_SINGLELINE;
};

}  // namespace KvUI
