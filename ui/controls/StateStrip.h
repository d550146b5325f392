#pragma once
// One strip image that holds a control's state pictures side by side, cut
// into equal slices, each slice an image draw string of its own.
#include <windows.h>

#include "ui/core/ImageInfo.h"
#include "ui/core/UIString.h"

namespace KvUI {

class CPaintManagerUI;

class CStateStrip {
public:
    // Reads the strip's draw string and its image's size; false when the
    // image cannot be had or is empty, or `count` is not positive.
    bool Load(CPaintManagerUI* manager, LPCTSTR drawString, int count);

    // Slice `index` (from 0): the strip's own keys with the slice as source.
    CUIString Slice(int index) const;

private:
    TImageDrawSpec m_parsed;
    int m_sliceWidth = 0;
    int m_height = 0;
};

}  // namespace KvUI
