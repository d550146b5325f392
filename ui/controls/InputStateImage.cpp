#include "ui/controls/InputStateImage.h"

#include "ui/core/ControlUI.h"
#include "ui/core/UIDefine.h"

namespace KvUI {

void PaintInputStateImage(CControlUI& control, HDC dc, UINT& state, const TInputStateImages& images) {
    state = control.IsFocused() ? (state | StateFocused) : (state & ~StateFocused);
    state = control.IsEnabled() ? (state & ~StateDisabled) : (state | StateDisabled);
    const struct {
        UINT bit;
        const CUIString& image;
    } states[] = {{StateDisabled, images.disabled}, {StateFocused, images.focused}, {StateHot, images.hot}};
    for (const auto& s : states) {
        if (!(state & s.bit) || s.image.IsEmpty()) continue;
        if (control.DrawImage(dc, s.image)) return;
        break;
    }
    if (!images.normal.IsEmpty()) control.DrawImage(dc, images.normal);
}

}  // namespace KvUI
