// The extended list: cells edited in place with a text editor and a combo
// box, and the rows' check boxes with the header boxes that follow them.
#include <gtest/gtest.h>

#include "lists/ListsKit.h"
#include "ui/lists/ListContainerHeaderItemUI.h"
#include "ui/lists/ListExUI.h"
#include "ui/lists/ListTextExtElementUI.h"

namespace kvtest {
namespace {

constexpr int kRows = 3;
constexpr DWORD kBoxColour = 0x2050A0;
constexpr DWORD kTickedColour = 0x20A050;

// Pet (checkable), Breed (editable), Kind (comboable and checkable).
std::wstring ExtListSkin(const std::wstring& listTag = L"ListEx") {
    const std::wstring box = L"checkboxwidth=\"14\" checkboxheight=\"14\" checkboxnormalimage=\"box.png\" "
                             L"checkboxselectedimage=\"ticked.png\"";
    std::wstring xml = L"<" + listTag + L" name=\"list\" itemtextpadding=\"4,0,4,0\"><ListHeader height=\"24\">"
                       L"<ListContainerHeaderItem name=\"h0\" text=\"Pet\" width=\"120\" checkable=\"true\" " + box +
                       L"/><ListContainerHeaderItem name=\"h1\" text=\"Breed\" width=\"120\" editable=\"true\"/>"
                       L"<ListContainerHeaderItem name=\"h2\" text=\"Kind\" comboable=\"true\" checkable=\"true\" " +
                       box + L"/></ListHeader>";
    for (int i = 0; i < kRows; ++i) xml += L"<ListTextExtElement height=\"26\" " + box + L"/>";
    return Skin(xml + L"</" + listTag + L">");
}

class KindChoices : public IListComboCallback {
public:
    void FillComboItems(CComboBoxUI* combo, int row, int column) override {
        for (const wchar_t* kind : {L"Cat", L"Dog", L"Parrot"}) {
            auto* item = new CListLabelElementUI();
            item->SetText(kind);
            combo->Add(item);
        }
        asked = {row, column};
    }
    std::pair<int, int> asked{-1, -1};
};

class ExtListHost : public Host {
public:
    explicit ExtListHost(const std::wstring& listTag = L"ListEx") : Host(420, 200) {
        UseWorkFolder();
        MakeImage("box.png", {"-size", "14x14", "xc:#2050A0"});
        MakeImage("ticked.png", {"-size", "14x14", "xc:#20A050"});
        Build(ExtListSkin(listTag));
        list = Find<CListUI>(L"list");
        listEx = static_cast<CListExUI*>(static_cast<IListUI*>(list->GetInterface(L"ListEx")));
        if (listEx) manager.AddNotifier(listEx);
        for (int i = 0; i < kRows; ++i) {
            Row(i)->SetColumnText(0, (L"Pet " + std::to_wstring(i)).c_str());
            Row(i)->SetColumnText(1, L"Tabby");
        }
        EXPECT_TRUE(Paint());
        notes.Clear();
    }

    CListTextExtElementUI* Row(int index) const {
        return static_cast<CListTextExtElementUI*>(list->GetItemAt(index)->GetInterface(L"ListTextExElement"));
    }
    CListContainerHeaderItemUI* Header(const wchar_t* name) const { return Find<CListContainerHeaderItemUI>(name); }
    // The middle of a cell, away from the row's check box.
    POINT CellPoint(int row, int column) const {
        const RECT& cell = list->GetListInfo()->rcColumn[column];
        const RECT& rc = Row(row)->GetPos();
        return POINT{(cell.left + cell.right) / 2 + 10, (rc.top + rc.bottom) / 2};
    }
    void ClickCell(int row, int column) {
        const POINT pt = CellPoint(row, column);
        Click(pt.x, pt.y);
    }
    static POINT Middle(const RECT& rc) { return POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2}; }
    void ClickBox(int row) {
        const POINT pt = Middle(Row(row)->GetCheckBoxRect(0));
        Click(pt.x, pt.y);
    }
    std::vector<bool> Checks() const {
        std::vector<bool> checks;
        for (int i = 0; i < kRows; ++i) checks.push_back(Row(i)->GetCheck());
        return checks;
    }
    // The cell as the editor should cover it, in window coordinates.
    RECT CellOnScreen(int row, int column) const {
        RECT rc = Row(row)->GetColumnRect(column);
        OffsetRect(&rc, list->GetPos().left, list->GetPos().top);
        return rc;
    }

    CListUI* list = nullptr;
    CListExUI* listEx = nullptr;
};

TEST(ExtListEdit, TextEditorOpensOverTheCellAndWritesTheTextBackWhenItLosesTheFocus) {
    ExtListHost host;
    host.ClickCell(1, 1);
    auto* edit = host.Find<CRichEditUI>(L"ListEx_Edit");
    ASSERT_NE(nullptr, edit);
    ASSERT_TRUE(host.Paint());
    EXPECT_TRUE(edit->IsVisible());
    EXPECT_EQ(edit, host.manager.GetFocus());
    EXPECT_EQ(host.CellOnScreen(1, 1), edit->GetPos());
    const int cellHeight = edit->GetHeight();
    const int textHeight = host.manager.GetFontInfo(-1)->metrics.tmHeight;
    EXPECT_EQ((cellHeight - textHeight) / 2, edit->GetTextPadding().top);
    EXPECT_EQ(L"Tabby", std::wstring(edit->GetText()));

    edit->SetSelAll();
    for (const wchar_t ch : std::wstring(L"Siamese")) host.Send(WM_CHAR, ch, 1);
    host.ClickCell(2, 0);  // a cell without an editor

    EXPECT_EQ(L"Siamese", std::wstring(host.Row(1)->GetText(1)));
    EXPECT_EQ(L"Tabby", std::wstring(host.Row(2)->GetText(1)));
    EXPECT_FALSE(edit->IsVisible());
    EXPECT_EQ(-1, host.listEx->GetEditingRow());
}

TEST(ExtListEdit, ComboEditorIsFilledForTheCellAndWritesTheChoiceBack) {
    ExtListHost host;
    KindChoices choices;
    host.listEx->SetComboCallback(&choices);
    host.ClickCell(2, 2);
    auto* combo = host.Find<CComboBoxUI>(L"ListEx_Combo");
    ASSERT_NE(nullptr, combo);
    ASSERT_TRUE(host.Paint());
    EXPECT_TRUE(combo->IsVisible());
    EXPECT_EQ(host.CellOnScreen(2, 2), combo->GetPos());
    EXPECT_EQ(std::make_pair(2, 2), choices.asked);
    ASSERT_EQ(3, combo->GetCount());

    combo->SelectItem(2);
    EXPECT_EQ(L"Parrot", std::wstring(host.Row(2)->GetText(2)));
    EXPECT_FALSE(combo->IsVisible());

    // Opening again starts from the host's fresh items.
    host.ClickCell(0, 2);
    EXPECT_EQ(3, combo->GetCount());
    EXPECT_TRUE(combo->IsVisible());
    // A press in the list that reaches it closes the editors.
    TUIEvent press;
    press.type = EventButtonDown;
    host.list->DoEvent(press);
    EXPECT_FALSE(combo->IsVisible());
}

TEST(ExtListCheck, RowBoxesCheckOnceAndEveryCheckableHeaderFollowsThem) {
    ExtListHost host;
    CListContainerHeaderItemUI* headers[] = {host.Header(L"h0"), host.Header(L"h2")};
    const auto headerChecks = [&] { return std::vector<bool>{headers[0]->GetCheck(), headers[1]->GetCheck()}; };

    host.ClickBox(0);
    EXPECT_EQ((std::vector<bool>{true, false, false}), host.Checks()) << "two checkable columns, one flip";
    const auto* note = host.notes.Last(L"listitemchecked");
    ASSERT_NE(nullptr, note);
    EXPECT_EQ(0u, note->wParam);
    EXPECT_EQ(1, note->lParam);
    EXPECT_EQ((std::vector<bool>{false, false}), headerChecks());

    host.ClickBox(1);
    host.ClickBox(2);
    EXPECT_EQ((std::vector<bool>{true, true}), headerChecks());
    host.ClickBox(1);
    EXPECT_EQ((std::vector<bool>{false, false}), headerChecks());
    host.ClickBox(1);
    EXPECT_EQ((std::vector<bool>{true, true}), headerChecks());
    EXPECT_EQ(5, host.notes.Count(L"listitemchecked"));
}

TEST(ExtListCheck, HeaderBoxChecksAndUnchecksEveryRow) {
    ExtListHost host;
    CListContainerHeaderItemUI* h0 = host.Header(L"h0");
    const POINT box = ExtListHost::Middle(h0->GetCheckBoxRect());
    host.Click(box.x, box.y);
    EXPECT_EQ((std::vector<bool>{true, true, true}), host.Checks());
    EXPECT_TRUE(host.Header(L"h2")->GetCheck());
    EXPECT_EQ((std::vector<std::wstring>{L"listheaderclick", L"listheaditemchecked"}), host.notes.Types());
    EXPECT_EQ(0u, host.notes.Last(L"listheaditemchecked")->wParam);

    // Checking the header again with every row checked keeps them checked.
    host.Header(L"h2")->SetCheck(false);
    const POINT other = ExtListHost::Middle(host.Header(L"h2")->GetCheckBoxRect());
    host.Click(other.x, other.y);
    EXPECT_EQ((std::vector<bool>{true, true, true}), host.Checks());
    EXPECT_EQ(2u, host.notes.Last(L"listheaditemchecked")->wParam);

    host.Click(box.x, box.y);
    EXPECT_EQ((std::vector<bool>{false, false, false}), host.Checks());
    EXPECT_FALSE(host.Header(L"h2")->GetCheck());
}

TEST(ExtListCheck, APressInTheBoxReleasedOutsideChangesNothing) {
    ExtListHost host;
    const RECT box = host.Row(1)->GetCheckBoxRect(0);
    const POINT in = ExtListHost::Middle(box);
    host.Move(in.x, in.y);
    host.Press(in.x, in.y);
    host.Drag(box.right + 30, in.y);
    host.Release(box.right + 30, in.y);
    EXPECT_FALSE(host.Row(1)->GetCheck());
    EXPECT_EQ(0, host.notes.Count(L"listitemchecked"));
}

TEST(ExtListRow, BoxSitsAtTheRowsLeftEdgeAndShowsTheCheck) {
    ExtListHost host;
    host.Row(1)->SetCheck(true);
    ASSERT_TRUE(host.Paint());
    for (const int row : {0, 1}) {
        const RECT& rc = host.Row(row)->GetPos();
        const RECT box = host.Row(row)->GetCheckBoxRect(2);
        EXPECT_EQ((RECT{rc.left + 6, rc.top + 6, rc.left + 20, rc.top + 20}), box) << "row " << row;
        const POINT mid = ExtListHost::Middle(box);
        EXPECT_EQ(row == 1 ? kTickedColour : kBoxColour, host.Pixel(mid.x, mid.y)) << "row " << row;
    }
}

TEST(ExtListRow, RefusesTextsOutsideItsColumnsAndNegativeBoxSizes) {
    ExtListHost host;
    CListTextExtElementUI* row = host.Row(0);
    row->SetColumnText(40, L"lost");
    row->SetColumnText(-1, L"lost");
    EXPECT_TRUE(std::wstring(row->GetText(40)).empty());
    row->SetAttribute(L"checkboxwidth", L"-5");
    EXPECT_EQ(14, row->GetCheckBoxRect(0).right - row->GetCheckBoxRect(0).left);
    host.Header(L"h0")->SetAttribute(L"checkboxheight", L"-5");
    const RECT box = host.Header(L"h0")->GetCheckBoxRect();
    EXPECT_EQ(14, box.bottom - box.top);
}

// The rows also work, as plain text rows, in a list that neither edits nor checks.
TEST(ExtListRow, InAPlainListAClickOnlySelects) {
    ExtListHost host(L"List");
    host.ClickCell(1, 1);
    host.ClickBox(1);
    EXPECT_EQ(nullptr, host.Find<CControlUI>(L"ListEx_Edit"));
    EXPECT_FALSE(host.Row(1)->GetCheck());
    EXPECT_EQ(1, host.list->GetCurSel());
    EXPECT_EQ(2, host.notes.Count(L"itemclick"));
}

}  // namespace
}  // namespace kvtest
