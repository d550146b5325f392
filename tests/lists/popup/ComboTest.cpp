// The combo box and its drop-down: where the drop-down opens and how big it
// is, selection by keys and by clicks in the drop-down, and the items going
// back to the combo however the drop-down goes.
#include <gtest/gtest.h>

#include "lists/popup/PopupKit.h"

namespace kvtest {
namespace {

constexpr wchar_t kDropDown[] = L"ComboWnd";

// `count` items 22 high; the items listed in `disabled` cannot be chosen.
std::wstring ComboSkin(int count, const std::wstring& attributes = L"", std::vector<int> disabled = {}) {
    std::wstring xml = L"<Combo name=\"combo\" width=\"200\" height=\"24\" itemselectedbkcolor=\"#FF3060C0\" " +
                       attributes + L">";
    for (int i = 0; i < count; ++i) {
        const bool off = std::find(disabled.begin(), disabled.end(), i) != disabled.end();
        xml += L"<ListLabelElement text=\"Item " + std::to_wstring(i) + L"\" height=\"22\"" +
               (off ? L" enabled=\"false\"" : L"") + L"/>";
    }
    return Skin(xml + L"</Combo>");
}

class ComboHost : public Host {
public:
    CComboUI* Open(const std::wstring& skin) {
        Build(skin);
        combo = Find<CComboUI>(L"combo");
        notes.Clear();
        return combo;
    }
    // Presses the closed combo: the drop-down opens.
    HWND DropDown() {
        Click(Centre(combo).x, Centre(combo).y);
        const HWND drop = OnlyWindow(kDropDown);
        EXPECT_TRUE(drop && WaitLaidOut(combo->GetItemAt(0)));
        return drop;
    }
    bool ItemsAreHome() const {
        for (int i = 0; i < combo->GetCount(); ++i) {
            if (combo->GetItemAt(i)->GetManager() != &manager || combo->GetItemAt(i)->GetParent() != combo) {
                return false;
            }
        }
        return true;
    }
    ~ComboHost() override {
        for (HWND window : ThreadWindows(kDropDown)) DestroyWindow(window);
    }

    CComboUI* combo = nullptr;
};

struct DropCase {
    int items;
    const wchar_t* boxSize;
    int hostTop;  // the combo's top on the screen
    LONG width;
    LONG height;
    bool upwards;
};

class DropDownPlacement : public ::testing::TestWithParam<DropCase> {};

TEST_P(DropDownPlacement, OpensUnderTheComboOrAboveItNearTheScreenBottom) {
    const DropCase c = GetParam();
    ComboHost host;
    SetWindowPos(host, nullptr, 20, c.hostTop, 300, 60, SWP_NOZORDER | SWP_NOACTIVATE);
    host.Open(ComboSkin(c.items, std::wstring(L"dropboxsize=\"") + c.boxSize + L"\""));
    const RECT combo = ScreenRect(host.combo);
    const HWND drop = host.DropDown();
    ASSERT_NE(nullptr, drop);
    const RECT rc = WindowRect(drop);
    EXPECT_EQ(combo.left, rc.left);
    EXPECT_EQ(c.width, rc.right - rc.left);
    EXPECT_EQ(c.height, rc.bottom - rc.top);
    if (c.upwards) {
        EXPECT_EQ(combo.top, rc.bottom) << "flush with the combo's top";
    } else {
        EXPECT_EQ(combo.bottom + 3, rc.top);
    }
    EXPECT_EQ((std::vector<std::wstring>{L"predropdown", L"dropdown"}), host.notes.Types());
}

INSTANTIATE_TEST_SUITE_P(Combos, DropDownPlacement,
                         ::testing::Values(DropCase{10, L"0,140", 20, 200, 140, false},
                                           DropCase{3, L"0,140", 20, 200, 70, false},
                                           DropCase{3, L"260,140", 20, 260, 70, false},
                                           DropCase{3, L"0,140", 1024 - 40, 200, 70, true}));

TEST(Combo, KeysMoveTheSelectionOverDisabledItemsAndKeepItAtTheEnds) {
    ComboHost host;
    host.Open(ComboSkin(6, L"", {3, 5}));
    host.combo->SelectItem(1);
    host.combo->SetFocus();
    host.notes.Clear();
    const struct {
        WPARAM key;
        int selected;
    } steps[] = {{VK_DOWN, 2}, {VK_DOWN, 4}, {VK_DOWN, 4}, {VK_UP, 2}, {VK_HOME, 0}, {VK_UP, 0}, {VK_END, 4}, {VK_PRIOR, 2}};
    int previous = 1;
    for (const auto& step : steps) {
        const int before = host.notes.Count(L"itemselect");
        host.Key(step.key);
        EXPECT_EQ(step.selected, host.combo->GetCurSel()) << "key " << step.key;
        if (step.selected == previous) {
            EXPECT_EQ(before, host.notes.Count(L"itemselect")) << "nothing selected anew";
            continue;
        }
        const auto* note = host.notes.Last(L"itemselect");
        ASSERT_NE(nullptr, note);
        EXPECT_EQ(static_cast<WPARAM>(step.selected), note->wParam);
        EXPECT_EQ(previous, note->lParam);
        previous = step.selected;
    }
    EXPECT_EQ(L"Item 2", std::wstring(host.combo->GetText().GetData()));
}

TEST(Combo, AClickOnAnItemOfTheDropDownSelectsItAndCloses) {
    ComboHost host;
    host.Open(ComboSkin(5));
    host.combo->SelectItem(1);
    const HWND drop = host.DropDown();
    ASSERT_NE(nullptr, drop);
    CControlUI* item = host.combo->GetItemAt(4);
    ASSERT_EQ(drop, item->GetManager()->GetPaintWindow()) << "the items show in the drop-down";
    ClickControl(item);
    ASSERT_TRUE(WaitForWindowCount(kDropDown, 0));
    EXPECT_EQ(4, host.combo->GetCurSel());
    const auto* note = host.notes.Last(L"itemselect");
    ASSERT_NE(nullptr, note);
    EXPECT_EQ(4u, note->wParam);
    EXPECT_EQ(1, note->lParam);
    EXPECT_TRUE(host.ItemsAreHome());
}

// Escape selects again, with its "itemselect", what was selected when the
// drop-down opened.
TEST(Combo, EnterKeepsTheNewSelectionAndEscapeRestoresTheOld) {
    for (const WPARAM closing : {WPARAM{VK_RETURN}, WPARAM{VK_ESCAPE}}) {
        ComboHost host;
        host.Open(ComboSkin(5));
        host.combo->SelectItem(1);
        const HWND drop = host.DropDown();
        ASSERT_NE(nullptr, drop);
        SendMessageW(drop, WM_KEYDOWN, VK_DOWN, 1);
        EXPECT_EQ(2, host.combo->GetCurSel());
        host.notes.Clear();
        SendMessageW(drop, WM_KEYDOWN, closing, 1);
        ASSERT_TRUE(WaitForWindowCount(kDropDown, 0));
        const int kept = closing == VK_RETURN ? 2 : 1;
        EXPECT_EQ(kept, host.combo->GetCurSel());
        EXPECT_EQ(L"Item " + std::to_wstring(kept), std::wstring(host.combo->GetText().GetData()));
        EXPECT_EQ(closing == VK_RETURN ? 0 : 1, host.notes.Count(L"itemselect"));
        if (const auto* note = host.notes.Last(L"itemselect")) {
            EXPECT_EQ(1u, note->wParam);
            EXPECT_EQ(2, note->lParam);
        }
        EXPECT_TRUE(host.ItemsAreHome());
    }
}

// A refused item still ends the old selection: nothing is selected after.
TEST(Combo, ADisabledItemIsRefusedAndLeavesNoSelection) {
    ComboHost host;
    host.Open(ComboSkin(4, L"", {2}));
    ASSERT_TRUE(host.combo->SelectItem(1));
    host.notes.Clear();
    EXPECT_FALSE(host.combo->SelectItem(2));
    EXPECT_EQ(-1, host.combo->GetCurSel());
    EXPECT_TRUE(host.combo->GetText().IsEmpty());
    EXPECT_FALSE(static_cast<IListItemUI*>(host.combo->GetItemAt(1)->GetInterface(L"ListItem"))->IsSelected());
    EXPECT_EQ(0, host.notes.Count(L"itemselect"));
}

// The drop-down has a default font of its own; every other window keeps the
// one they share.
TEST(ComboDropDown, SetsItsFontOnItsOwnManagerOnly) {
    ComboHost host;
    host.Open(ComboSkin(3));
    const std::wstring shared = host.manager.GetDefaultFontInfo()->faceName.GetData();
    const LONG sharedHeight = host.manager.GetDefaultFontInfo()->metrics.tmHeight;
    ASSERT_NE(nullptr, host.DropDown());
    CPaintManagerUI* dropManager = host.combo->GetItemAt(0)->GetManager();
    EXPECT_EQ(std::wstring(L"\u5FAE\u8F6F\u96C5\u9ED1"), dropManager->GetDefaultFontInfo()->faceName.GetData());
    Host other;
    EXPECT_EQ(shared, other.manager.GetDefaultFontInfo()->faceName.GetData());
    EXPECT_EQ(shared, host.manager.GetDefaultFontInfo()->faceName.GetData());
    EXPECT_EQ(sharedHeight, host.manager.GetDefaultFontInfo()->metrics.tmHeight);
}

TEST(ComboDropDown, GivesTheItemsBackHoweverItIsDestroyed) {
    for (const bool direct : {false, true}) {
        ComboHost host;
        host.Open(ComboSkin(4));
        const HWND drop = host.DropDown();
        ASSERT_NE(nullptr, drop);
        if (direct) {
            DestroyWindow(drop);
        } else {
            PostMessageW(drop, WM_CLOSE, 0, 0);
        }
        ASSERT_TRUE(WaitForWindowCount(kDropDown, 0));
        EXPECT_TRUE(host.ItemsAreHome()) << (direct ? "destroyed" : "closed");
        EXPECT_NE(nullptr, host.DropDown()) << "the combo opens again";
    }
}

TEST(Combo, DestroyedWhileOpenClosesItsDropDownFirst) {
    ComboHost host;
    host.Open(ComboSkin(4));
    const HWND drop = host.DropDown();
    ASSERT_NE(nullptr, drop);
    auto* root = host.Find<CVerticalLayoutUI>(L"root");
    root->SetDelayedDestroy(false);
    ASSERT_TRUE(root->Remove(host.combo));
    EXPECT_FALSE(IsWindow(drop));
    EXPECT_TRUE(host.Paint());
}

TEST(Combo, SelectsBeforeItHasAWindow) {
    CComboUI combo;
    combo.Add(new CListLabelElementUI());
    combo.Add(new CListLabelElementUI());
    EXPECT_TRUE(combo.SelectItem(1));
    EXPECT_EQ(1, combo.GetCurSel());
}

}  // namespace
}  // namespace kvtest
