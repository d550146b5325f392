#pragma once
#include "ui/lists/ListHeaderItemBase.h"

namespace KvUI {

// One column of a list header: a caption with state images, a separator
// that the user drags to change the column's width, and "headerclick" when
// pressed elsewhere. In a scaled header it takes "scale" per cent of the
// header's width.
class CListHeaderItemUI : public CListHeaderItemBase<CContainerUI> {
public:
    CListHeaderItemUI();
    ~CListHeaderItemUI() override;

    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR name) override;
    void SetAttribute(LPCTSTR name, LPCTSTR value) override;

    int GetScale() const { return m_scale; }
    void SetScale(int scale) { m_scale = scale; }

private:
    int m_scale = 0;
};

}  // namespace KvUI
