#pragma once
#include "ui/core/ControlUI.h"

namespace KvUI {

class CContainerUI;

// A skinned scroll bar with two arrow buttons, a proportional thumb and a rail
// grip. On its own it keeps its range and position; owned by a container it
// hands every scrolling action to the container, which keeps the position.
class CScrollBarUI : public CControlUI {
public:
    // The parts a skin gives images for, and the states each part is drawn in.
    enum class Part { Button1, Button2, Thumb, Rail, Background };
    enum class State { Normal, Hot, Pushed, Disabled };

    CScrollBarUI();

    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR name) override;

    CContainerUI* GetOwner() const { return m_owner; }
    void SetOwner(CContainerUI* owner) { m_owner = owner; }

    void SetVisible(bool visible = true) override;
    void SetEnabled(bool enabled = true) override;
    void SetFocus() override;

    bool IsHorizontal() const { return m_horizontal; }
    void SetHorizontal(bool horizontal = true);
    int GetScrollRange() const { return m_range; }
    void SetScrollRange(int range);
    int GetScrollPos() const { return m_scrollPos; }
    void SetScrollPos(int pos);
    int GetLineSize() const { return m_lineSize; }
    void SetLineSize(int size) { m_lineSize = size; }
    bool GetShowButton1() const { return m_showButton1; }
    void SetShowButton1(bool show);
    bool GetShowButton2() const { return m_showButton2; }
    void SetShowButton2(bool show);

    LPCTSTR GetImage(Part part, State state) const;
    void SetImage(Part part, State state, LPCTSTR image);

    // Where the parts lie in client coordinates; the thumb is all 0 when the
    // bar is too short for one.
    const RECT& GetButton1Rect() const { return m_button1Rect; }
    const RECT& GetButton2Rect() const { return m_button2Rect; }
    const RECT& GetThumbRect() const { return m_thumbRect; }

    void SetPos(RECT rc, bool needInvalidate = true) override;
    void DoEvent(TUIEvent& event) override;
    void SetAttribute(LPCTSTR name, LPCTSTR value) override;
    bool DoPaint(HDC dc, const RECT& paint, CControlUI* stopControl) override;

private:
    static constexpr int kPartCount = 5;
    static constexpr int kStateCount = 4;

    int Along(const POINT& pt) const { return m_horizontal ? pt.x : pt.y; }
    int Thickness() const;
    void ScrollLine(bool forward);
    void ScrollPage(bool forward);
    void PageTowards(POINT pt);
    void PaintBackground(HDC dc);
    void PaintPart(HDC dc, Part part, const RECT& rc, UINT& state);
    void PaintRail(HDC dc);
    bool DrawStateImage(HDC dc, Part part, UINT state, LPCTSTR modify);

    bool m_horizontal = false;
    int m_range = 0;
    int m_scrollPos = 0;
    int m_lineSize = 8;
    CContainerUI* m_owner = nullptr;
    POINT m_lastMouse = {};
    int m_lastScrollPos = 0;
    int m_dragOffset = 0;
    int m_repeatTicks = 0;
    bool m_showButton1 = true;
    RECT m_button1Rect = {};
    UINT m_button1State = 0;
    bool m_showButton2 = true;
    RECT m_button2Rect = {};
    UINT m_button2State = 0;
    RECT m_thumbRect = {};
    UINT m_thumbState = 0;
    CUIString m_images[kPartCount][kStateCount];
    CUIString m_imageModify;
};

}  // namespace KvUI
