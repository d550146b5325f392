#pragma once
// What the vertical and horizontal layouts share: stacking children along
// one axis, and the separator strip that resizes a layout by dragging.
#include <windows.h>

#include "ui/core/ContainerUI.h"

namespace KvUI {

// The strip on the far edge (size above 0) or near edge (below 0) of a layout.
// Pressing in it and moving drags that edge; the layout applies the result.
class CLayoutSeparator final : private IMessageFilterUI {
public:
    enum class Result {
        Ignored,   // not the separator's event
        Handled,   // consumed, nothing for the layout to do
        Resized,   // the new rectangle changed: store the size, apply it in immediate mode
        Released,  // the drag ended: the layout takes the new rectangle
    };

    CLayoutSeparator(CControlUI& owner, bool vertical) : m_owner(owner), m_vertical(vertical) {}
    CLayoutSeparator(const CLayoutSeparator&) = delete;
    CLayoutSeparator& operator=(const CLayoutSeparator&) = delete;
    ~CLayoutSeparator();

    int GetSize() const { return m_size; }
    void SetSize(int size) { m_size = size; }
    bool IsImmediate() const { return m_immediate; }
    void SetImmediate(bool immediate);
    bool IsDragging() const { return (m_buttonState & StateCaptured) != 0; }

    // The strip of the rectangle the drag would leave (when dragging and
    // `useNew`) or of the layout's current rectangle.
    RECT GetThumbRect(bool useNew) const;
    const RECT& GetNewPos() const { return m_newPos; }
    // The new size along the axis in skin units, as fixed sizes are kept, so
    // the next layout gives back this very size at any display scale.
    int GetNewSkinSize() const;
    // Whether the layout takes the new rectangle now: on release, or at every
    // move in immediate mode.
    bool TakesNewPos(Result result) const {
        return result == Result::Released || (result == Result::Resized && m_immediate);
    }

    Result HandleEvent(const TUIEvent& event);
    // Shows where the edge will end while a delayed drag runs.
    void PaintNewStrip(HDC dc) const;

private:
    // Watches for the window losing the mouse capture during a drag.
    LRESULT MessageHandler(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override;
    Result MoveEdge(POINT pt);
    void EndDrag();

    CControlUI& m_owner;
    const bool m_vertical;
    int m_size = 0;
    UINT m_buttonState = 0;
    POINT m_lastMouse = {};
    RECT m_newPos = {};
    bool m_immediate = false;
    CPaintManagerUI* m_dragManager = nullptr;
};

// The common part of the vertical and horizontal layouts: children stacked
// along one axis, and an optional separator strip that resizes the layout.
class CLinearLayoutUI : public CContainerUI {
public:
    UINT GetControlFlags() const override;
    void SetPos(RECT rc, bool needInvalidate = true) override;
    void DoEvent(TUIEvent& event) override;
    void DoPostPaint(HDC dc, const RECT& paint) override;

    // Immediate mode resizes at every mouse move instead of on release.
    bool IsSepImmMode() const { return m_separator.IsImmediate(); }
    void SetSepImmMode(bool immediate) { m_separator.SetImmediate(immediate); }
    RECT GetThumbRect(bool useNew = false) const { return m_separator.GetThumbRect(useNew); }

protected:
    explicit CLinearLayoutUI(bool vertical) : m_vertical(vertical), m_separator(*this, vertical) {}
    // The separator's attributes: its size under `sizeName`, and "sepimm".
    // False for any other attribute.
    bool SetSeparatorAttribute(LPCTSTR name, LPCTSTR value, LPCTSTR sizeName);

    const bool m_vertical;
    CLayoutSeparator m_separator;
};

}  // namespace KvUI
