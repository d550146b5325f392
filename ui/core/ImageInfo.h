#pragma once
// The two records of the image half of the render engine: a loaded image
// and a parsed image draw string. The paint manager caches both.
#include <windows.h>

#include <vector>

#include "ui/core/UIString.h"

namespace KvUI {

class CPaintManagerUI;

// One decoded image: a 32-bit top-down DIB section of premultiplied BGRA.
struct TImageInfo {
    HBITMAP bitmap = nullptr;
    // Copies for colour adjustment; the loader leaves both empty.
    std::vector<BYTE> pixels;
    std::vector<BYTE> sourcePixels;
    int width = 0;
    int height = 0;
    // Any pixel with alpha below 255, or one removed by the mask colour.
    bool hasAlpha = false;
    // Set by the image cache when the image follows the window's hue,
    // saturation and lightness.
    bool useHsl = false;
    CUIString resType;
    DWORD mask = 0;
};

// One image draw string, such as file='btn.png' source='0,0,20,20' corner='4,4,4,4',
// parsed together with an optional modify string whose keys win.
struct TImageDrawSpec {
    CUIString drawString;
    CUIString modifyString;
    CUIString imageName;
    CUIString resType;
    RECT dest = {0, 0, 0, 0};
    RECT source = {0, 0, 0, 0};
    RECT corner = {0, 0, 0, 0};  // widths of the left, top, right and bottom borders
    DWORD mask = 0;
    BYTE fade = 255;
    bool hole = false;
    bool xtiled = false;
    bool ytiled = false;
    bool hsl = false;
    SIZE iconSize = {0, 0};
    CUIString iconAlign;

    void Clear();
    // With a manager the rectangles follow its DPI scale, and at a scale other
    // than 100 % the image name asks for the matching "@<percent>" file.
    void Parse(LPCTSTR drawString, LPCTSTR modifyString, CPaintManagerUI* manager);
};

}  // namespace KvUI
