#pragma once
#include <windows.h>

#include "ui/core/UIDefine.h"
#include "ui/core/UIString.h"

namespace KvUI {

class CControlUI;

// The check box that header items and rows of the extended list draw 6
// pixels in from their left edge: the check, the box's button state, its
// pictures, and how the mouse works it.
class CListCheckBox {
public:
    // What a mouse event did to the box.
    enum class Input {
        None,     // not a box event
        Changed,  // its look changed: repaint
        Toggled,  // released inside after a press inside: the check flips
    };

    bool GetCheck() const { return m_checked; }
    // False when the check was already `checked`.
    bool SetCheck(bool checked);

    // "checkboxwidth", "checkboxheight" (a negative value is ignored) and
    // the seven "checkbox...image" pictures; false for any other name.
    bool SetAttribute(LPCTSTR name, LPCTSTR value);

    // The box inside `owner` of `control`, centred vertically.
    RECT Place(const RECT& owner, const CControlUI& control) const;
    // The box's width as `control` shows it.
    int ShownWidth(const CControlUI& control) const;

    // Works the box from a mouse event; `hoverOnMove`: moves without a
    // press make the box hot while over it.
    Input OnMouse(const TUIEvent& event, const RECT& box, bool hoverOnMove);

    // The picture of the box's state, then the fore picture over a checked
    // one, into `box` clipped to `paint`.
    void Draw(HDC dc, const CControlUI& control, const RECT& box, const RECT& paint);

private:
    UINT m_state = 0;
    bool m_checked = false;
    CUIString m_normalImage;
    CUIString m_hotImage;
    CUIString m_pushedImage;
    CUIString m_focusedImage;
    CUIString m_disabledImage;
    CUIString m_selectedImage;
    CUIString m_foreImage;
    int m_width = 0;
    int m_height = 0;
};

}  // namespace KvUI
