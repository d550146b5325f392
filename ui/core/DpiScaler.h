#pragma once
#include <windows.h>

namespace KvUI {

// Turns skin geometry, written for 96 dpi, into pixels at a window's scale.
// It only does the arithmetic: nothing here asks the system for its DPI.
class CDpiScaler {
public:
    CDpiScaler();

    void SetDPI(int dpi);
    int GetDPI() const;
    int GetScale() const;

    // 0: no scaling; 1: keep the first scale ever set; 2: follow the last one.
    int GetAwareness() const { return m_awareness; }
    void SetAwareness(int awareness) { m_awareness = awareness; }

    int Scale(int n) const;
    int Unscale(int n) const;
    RECT ScaleRectOut(int left, int top, int right, int bottom) const;
    void ScaleRect(RECT* rect) const;
    void UnscaleRect(RECT* rect) const;
    void ScalePoint(POINT* point) const;
    SIZE ScaleSize(int cx, int cy) const;

private:
    int ActivePercent() const;

    int m_currentPercent = 0;
    int m_firstPercent = 0;
    int m_awareness = 2;
};

}  // namespace KvUI
