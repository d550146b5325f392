#pragma once
#include <memory>
#include <vector>

#include "ui/core/ControlUI.h"
#include "ui/core/ScrollBarUI.h"

namespace KvUI {

// The child list of a container, as other controls reach it through
// GetInterface("IContainer").
class IContainerUI {
public:
    virtual CControlUI* GetItemAt(int index) const = 0;
    virtual int GetItemIndex(CControlUI* control) const = 0;
    virtual bool SetItemIndex(CControlUI* control, int newIndex) = 0;
    virtual int GetCount() const = 0;
    virtual bool Add(CControlUI* control) = 0;
    virtual bool AddAt(CControlUI* control, int index) = 0;
    virtual bool Remove(CControlUI* control) = 0;
    virtual bool RemoveAt(int index) = 0;
    virtual void RemoveAll() = 0;

protected:
    ~IContainerUI() = default;
};

// A control that owns an ordered list of children: it lays them on its inner
// rectangle, scrolls them with optional scroll bars, finds controls under a
// point and paints its children clipped to itself.
class CContainerUI : public CControlUI, public IContainerUI {
public:
    CContainerUI();
    ~CContainerUI() override;

    CControlUI* GetItemAt(int index) const override;
    int GetItemIndex(CControlUI* control) const override;
    bool SetItemIndex(CControlUI* control, int newIndex) override;
    int GetCount() const override;
    bool Add(CControlUI* control) override;
    bool AddAt(CControlUI* control, int index) override;
    bool Remove(CControlUI* control) override;
    bool RemoveAt(int index) override;
    void RemoveAll() override;

    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR name) override;
    void SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init = true) override;
    RECT GetClientPos() const override;
    void SetPos(RECT rc, bool needInvalidate = true) override;
    void Move(int dx, int dy, bool needInvalidate = true) override;
    void SetVisible(bool visible = true) override;
    void SetInternVisible(bool visible = true) override;
    void SetEnabled(bool enabled = true) override;
    void SetMouseEnabled(bool enabled = true) override;
    CControlUI* FindControl(FINDCONTROLPROC proc, LPVOID data, UINT flags) override;
    void DoEvent(TUIEvent& event) override;
    void SetAttribute(LPCTSTR name, LPCTSTR value) override;
    bool DoPaint(HDC dc, const RECT& paint, CControlUI* stopControl) override;

    // Geometry getters are scaled for the display; setters keep skin values.
    virtual RECT GetInset() const;
    virtual void SetInset(RECT inset);
    virtual int GetChildPadding() const;
    virtual void SetChildPadding(int padding);
    virtual UINT GetChildAlign() const;
    virtual void SetChildAlign(UINT align);
    virtual UINT GetChildVAlign() const;
    virtual void SetChildVAlign(UINT align);
    virtual bool IsAutoDestroy() const;
    virtual void SetAutoDestroy(bool autoDestroy);
    virtual bool IsDelayedDestroy() const;
    virtual void SetDelayedDestroy(bool delayed);
    virtual bool IsMouseChildEnabled() const;
    virtual void SetMouseChildEnabled(bool enable = true);
    virtual int FindSelectable(int index, bool forward = true) const;

    // Scrolling; sizes are (horizontal, vertical), a missing or hidden bar counts as 0.
    virtual SIZE GetScrollPos() const;
    virtual SIZE GetScrollRange() const;
    virtual void SetScrollPos(SIZE pos, bool notify = true);
    virtual void SetScrollStepSize(int size);
    virtual int GetScrollStepSize() const;
    virtual void LineUp();
    virtual void LineDown();
    virtual void PageUp();
    virtual void PageDown();
    virtual void HomeUp();
    virtual void EndDown();
    virtual void LineLeft();
    virtual void LineRight();
    virtual void PageLeft();
    virtual void PageRight();
    virtual void HomeLeft();
    virtual void EndRight();
    virtual void EnableScrollBar(bool enableVertical = true, bool enableHorizontal = false);
    virtual CScrollBarUI* GetVerticalScrollBar() const;
    virtual CScrollBarUI* GetHorizontalScrollBar() const;

    // Places the floating child at `index` from its fixed position, float
    // alignment or float percentages.
    virtual void SetFloatPos(int index);
    // Shows, hides and ranges the scroll bars for content of the given size
    // laid on `rc`, laying the container out again when that changes its room.
    virtual void ProcessScrollBar(RECT rc, int cxRequired, int cyRequired);

protected:
    // The container's own children. Lists route the child-list operations
    // to their rows, but their own walks (layout, painting, hit tests,
    // state) cover the children they hold themselves.
    int OwnCount() const { return static_cast<int>(m_items.size()); }
    CControlUI* ChildAt(int index) const { return m_items[static_cast<size_t>(index)]; }
    int OwnIndex(CControlUI* control) const;
    CScrollBarUI* VisibleVerticalBar() const;
    CScrollBarUI* VisibleHorizontalBar() const;
    // The item rectangle less the inset and the visible bars.
    RECT GetInnerRect() const;
    // What DoPaint paints after the container's own layers, under a clip to
    // the item rectangle: the children clipped to the inner rectangle
    // (floating ones to the item rectangle), then the scroll bars. Children
    // that `skip` accepts are left out. False once the stop control is reached.
    bool PaintChildren(HDC dc, const RECT& paint, CControlUI* stopControl, bool (*skip)(CControlUI*) = nullptr);

    std::vector<CControlUI*> m_items;
    RECT m_inset = {};
    int m_childPadding = 0;
    UINT m_childAlign = DT_LEFT;
    UINT m_childVAlign = DT_TOP;
    bool m_autoDestroy = true;
    bool m_delayedDestroy = true;
    bool m_mouseChildEnabled = true;
    int m_scrollStepSize = 0;
    std::unique_ptr<CScrollBarUI> m_verticalScrollBar;
    std::unique_ptr<CScrollBarUI> m_horizontalScrollBar;
    CUIString m_verticalScrollBarStyle;
    CUIString m_horizontalScrollBarStyle;

private:
    void Dispose(CControlUI* control);
    int VerticalLineStep() const;
    int HorizontalLineStep() const;
    void ScrollBy(int dx, int dy);
    void ScrollTo(bool vertical, int position);
    void ScrollToEnd(bool vertical);
    int PageSize(bool vertical) const;
    void FitScrollBar(CScrollBarUI* bar, const RECT& rc, int excess);
    bool ScrollOnInput(const TUIEvent& event, bool vertical);
    void ApplyScrollBarStyle(CScrollBarUI* bar, LPCTSTR style);
};

}  // namespace KvUI
