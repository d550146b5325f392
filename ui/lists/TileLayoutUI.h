#pragma once
#include "ui/core/ContainerUI.h"

namespace KvUI {

// Lays its children in a grid of equal-width cells, row by row, each child
// centred in its cell, scrolling vertically when the rows do not fit. With an
// item width the column count follows from the room available.
class CTileLayoutUI : public CContainerUI {
public:
    CTileLayoutUI();
    ~CTileLayoutUI() override;

    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR name) override;
    void SetPos(RECT rc, bool needInvalidate = true) override;
    void SetAttribute(LPCTSTR name, LPCTSTR value) override;

    SIZE GetItemSize() const { return m_itemSize; }
    void SetItemSize(SIZE size);
    int GetColumns() const { return m_columns; }
    // Counts below 1 are ignored.
    void SetColumns(int columns);

private:
    int MeasureRow(int first, int placed, int cellWidth, int halfPadding) const;

    SIZE m_itemSize = {};
    int m_columns = 1;
};

}  // namespace KvUI
