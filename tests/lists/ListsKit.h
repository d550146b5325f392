#pragma once
// What the list tests share: the controls' test window, lists built from a
// skin of numbered rows, row clicks with modifier keys, and the selection as
// the list reports it and as the rows paint it.
#include <windows.h>

#include <string>
#include <vector>

#include "controls/ControlsKit.h"
#include "ui/lists/ListBodyUI.h"
#include "ui/lists/ListContainerElementUI.h"
#include "ui/lists/ListHeaderItemUI.h"
#include "ui/lists/ListHeaderUI.h"
#include "ui/lists/ListLabelElementUI.h"
#include "ui/lists/ListTextElementUI.h"
#include "ui/lists/ListUI.h"

namespace kvtest {

constexpr DWORD kSelectedBk = 0x3060C0;
constexpr DWORD kRowBk = 0xFFFFFF;

// `rows` label rows (or rows of another tag) 20 high under a 24-high header
// of two columns; the list's item colours make the selection visible.
inline std::wstring ListSkin(int rows, const std::wstring& listAttributes = L"",
                             const std::wstring& rowAttributes = L"",
                             const std::wstring& rowTag = L"ListLabelElement") {
    std::wstring xml = L"<List name=\"list\" vscrollbar=\"true\" itembkcolor=\"#FFFFFFFF\" "
                       L"itemselectedbkcolor=\"#FF3060C0\" itemhotbkcolor=\"#FFE0E0E0\" " +
                       listAttributes +
                       L"><ListHeader height=\"24\"><ListHeaderItem text=\"Name\" width=\"100\"/>"
                       L"<ListHeaderItem text=\"Kind\"/></ListHeader>";
    for (int i = 0; i < rows; ++i) {
        xml += L"<" + rowTag + L" text=\"Row " + std::to_wstring(i) + L"\" height=\"20\" " + rowAttributes + L"/>";
    }
    return Skin(xml + L"</List>");
}

// A window with one list.
class ListHost : public Host {
public:
    ListHost() : Host(300, 200) {}

    CListUI* Open(const std::wstring& skin) {
        Build(skin);
        list = Find<CListUI>(L"list");
        notes.Clear();
        return list;
    }

    CControlUI* Row(int index) const { return list->GetItemAt(index); }

    // Presses and releases the left button in the middle of row `index`;
    // `keys` adds MK_CONTROL or MK_SHIFT.
    void ClickRow(int index, WPARAM keys = 0) {
        PressRow(index, WM_LBUTTONDOWN, MK_LBUTTON | keys, WM_LBUTTONUP, keys);
    }
    void RightClickRow(int index) { PressRow(index, WM_RBUTTONDOWN, MK_RBUTTON, WM_RBUTTONUP, 0); }

    // The selected set in selection order, as the list reports it.
    std::vector<int> Selection() const {
        std::vector<int> selected;
        for (int index = list->GetNextSelItem(-1); index >= 0; index = list->GetNextSelItem(index)) {
            selected.push_back(index);
        }
        return selected;
    }

    // The rows that show as selected: the ones that say so and paint so.
    std::vector<int> Highlighted() {
        EXPECT_TRUE(Paint());
        std::vector<int> rows;
        for (int i = 0; i < list->GetCount(); ++i) {
            auto* item = static_cast<IListItemUI*>(Row(i)->GetInterface(L"ListItem"));
            if (!item || !item->IsSelected()) continue;
            rows.push_back(i);
            const RECT& rc = Row(i)->GetPos();
            const RECT& body = list->GetList()->GetPos();
            if (rc.top >= body.top && rc.bottom <= body.bottom) {
                EXPECT_EQ(kSelectedBk, Pixel(rc.right - 4, (rc.top + rc.bottom) / 2)) << "row " << i;
            }
        }
        return rows;
    }

    CListUI* list = nullptr;

private:
    void PressRow(int index, UINT down, WPARAM downKeys, UINT up, WPARAM upKeys) {
        const RECT& rc = Row(index)->GetPos();
        const int x = (rc.left + rc.right) / 2;
        const int y = (rc.top + rc.bottom) / 2;
        Move(x, y);
        Send(down, downKeys, MAKELPARAM(x, y));
        Send(up, upKeys, MAKELPARAM(x, y));
    }
};

}  // namespace kvtest
