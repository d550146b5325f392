#pragma once
#include "ui/controls/LabelUI.h"

namespace KvUI {

// A word-wrapped label whose mini-markup text may hold links: it remembers
// where up to eight links were drawn, shows the hand over them, highlights
// the hovered one and sends "link" with the link's index when one is clicked.
class CTextUI : public CLabelUI {
public:
    static constexpr int kMaxLinks = 8;

    CTextUI();
    ~CTextUI() override;

    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR name) override;
    UINT GetControlFlags() const override;
    void DoEvent(TUIEvent& event) override;
    SIZE EstimateSize(SIZE available) override;
    void PaintText(HDC dc) override;

private:
    int LinkAt(POINT pt) const;

    int m_linkCount = 0;
    RECT m_links[kMaxLinks] = {};
    CUIString m_linkTexts[kMaxLinks];
    int m_hoverLink = -1;
};

}  // namespace KvUI
