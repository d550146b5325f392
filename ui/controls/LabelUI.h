#pragma once
#include "ui/core/ControlUI.h"

namespace KvUI {

// A text in its rectangle: one line or word-wrapped, aligned, with its own
// font, colours and padding, plain or in the text mini-markup, optionally
// sized to its text. Every text-bearing control derives from it.
class CLabelUI : public CControlUI {
public:
    CLabelUI();
    ~CLabelUI() override;

    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR name) override;
    UINT GetControlFlags() const override;
    void SetText(LPCTSTR text) override;
    void DoEvent(TUIEvent& event) override;
    void SetAttribute(LPCTSTR name, LPCTSTR value) override;
    SIZE EstimateSize(SIZE available) override;
    void PaintText(HDC dc) override;

    virtual bool GetAutoCalcWidth() const;
    virtual void SetAutoCalcWidth(bool autoCalc);
    virtual bool GetAutoCalcHeight() const;
    virtual void SetAutoCalcHeight(bool autoCalc);

    DWORD GetTextColor() const { return m_textColor; }
    void SetTextColor(DWORD color);
    DWORD GetDisabledTextColor() const { return m_disabledTextColor; }
    void SetDisabledTextColor(DWORD color);
    int GetFont() const { return m_font; }
    void SetFont(int index);
    RECT GetTextPadding() const { return m_textPadding; }
    void SetTextPadding(RECT padding);
    bool IsShowHtml() const { return m_showHtml; }
    void SetShowHtml(bool showHtml);
    UINT GetTextStyle() const { return m_textStyle; }

protected:
    // Width or height of the box text is measured in when it has no bound.
    static constexpr int kMeasureExtent = 9999;

    // Zero colours become the manager's defaults, kept in the label from then on.
    void TakeDefaultColors();
    // The text padding at the display's scale.
    RECT ScaledTextPadding() const;
    // Draws or (with DT_CALCRECT in `style`) measures `text` in `rc`.
    void RenderText(HDC dc, RECT& rc, LPCTSTR text, DWORD color, int font, UINT style);
    // A control that takes no mouse input hands mouse events to its parent
    // (or, without one, to the label); true when `event` went that way.
    bool ForwardMouseWhileDisabled(TUIEvent& event);

    DWORD m_textColor = 0;
    DWORD m_disabledTextColor = 0;
    int m_font = -1;
    UINT m_textStyle = DT_VCENTER | DT_SINGLELINE;
    RECT m_textPadding = {};
    bool m_showHtml = false;
    bool m_autoCalcWidth = false;
    bool m_autoCalcHeight = false;

private:
    // The last available size (none yet, so the first estimate always runs),
    // the size computed for it, and whether it must be computed again.
    SIZE m_lastAvailable = {-1, -1};
    SIZE m_estimated = {};
    bool m_needEstimate = false;
};

}  // namespace KvUI
