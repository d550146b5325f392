#pragma once
#include "ui/core/HorizontalLayoutUI.h"

namespace KvUI {

// The row of header items above a list's body; the items are the list's
// columns. In scale mode ("scaleheader") each item takes its "scale" per
// cent of the header's width.
class CListHeaderUI : public CHorizontalLayoutUI {
public:
    CListHeaderUI();
    ~CListHeaderUI() override;

    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR name) override;
    SIZE EstimateSize(SIZE available) override;
    void SetPos(RECT rc, bool needInvalidate = true) override;
    void SetAttribute(LPCTSTR name, LPCTSTR value) override;

    bool IsScaleHeader() const { return m_scaleHeader; }
    void SetScaleHeader(bool scale);

private:
    bool m_scaleHeader = false;
};

}  // namespace KvUI
