#pragma once
// The status picture of a text input whose native editor opens over it (edit,
// hot key): one rule for which of its four pictures shows.
#include <windows.h>

#include "ui/core/UIString.h"

namespace KvUI {

class CControlUI;

struct TInputStateImages {
    const CUIString& normal;
    const CUIString& hot;
    const CUIString& focused;
    const CUIString& disabled;
};

// Brings the focused and disabled bits of `state` up to date with `control`,
// then draws the picture of the first state that holds and has one (disabled,
// focused, hot) or, when there is none or it does not draw, the normal one.
void PaintInputStateImage(CControlUI& control, HDC dc, UINT& state, const TInputStateImages& images);

}  // namespace KvUI
