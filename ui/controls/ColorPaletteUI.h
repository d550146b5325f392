#pragma once
#include "ui/core/ControlUI.h"
#include "win/GdiOwners.h"

namespace KvUI {

// A colour picker drawn by the control itself: a hue/lightness field (the
// pallet) across the top and a saturation bar along the bottom, each with a
// thumb. Releasing the mouse sends "colorchanged" with the colour as
// 0xFFRRGGBB.
class CColorPaletteUI : public CControlUI {
public:
    CColorPaletteUI();
    ~CColorPaletteUI() override;

    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR name) override;
    void DoInit() override;
    void SetPos(RECT rc, bool needInvalidate = true) override;
    void DoEvent(TUIEvent& event) override;
    void SetAttribute(LPCTSTR name, LPCTSTR value) override;
    void PaintBkColor(HDC dc) override;

    virtual void PaintPallet(HDC dc);

    DWORD GetSelectColor() const;
    int GetPalletHeight() const { return m_palletHeight; }
    void SetPalletHeight(int height);
    int GetBarHeight() const { return m_barHeight; }
    // Heights above 150 become 150, below 0 become 0.
    void SetBarHeight(int height);
    LPCTSTR GetThumbImage() const { return m_thumbImage; }
    void SetThumbImage(LPCTSTR image);

private:
    bool InPallet(POINT pt) const;
    bool InBar(POINT pt) const;
    void PickInPallet(POINT pt);
    void PickSaturation(int x);
    void UpdatePalletBitmap();
    void UpdateBarBitmap();
    void PutPixel(int row, int column, COLORREF color);

    // The off-screen picture the control stretches onto the screen: its own
    // DC and DIB, so the pixels are written in place.
    kvwin::MemoryDib m_bitmap;
    UINT m_state = 0;
    bool m_draggingBar = false;
    bool m_draggingPallet = false;
    int m_hue = 180;
    int m_saturation = 200;
    int m_lightness = 100;
    int m_palletHeight = 200;
    int m_barHeight = 10;
    POINT m_thumb = {};
    CUIString m_thumbImage;
};

}  // namespace KvUI
