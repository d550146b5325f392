// Moving the selection with the keyboard: arrows, Home and End, Ctrl+A,
// Enter and the page keys; the selected row always ends in view.
#include <gtest/gtest.h>

#include "lists/ListsKit.h"

namespace kvtest {
namespace {

constexpr int kRows = 20;

// Holds Ctrl down in this thread's key state while it lives.
class ControlHeld {
public:
    ControlHeld() {
        GetKeyboardState(m_saved);
        BYTE state[256];
        GetKeyboardState(state);
        state[VK_CONTROL] = 0x80;
        SetKeyboardState(state);
    }
    ControlHeld(const ControlHeld&) = delete;
    ControlHeld& operator=(const ControlHeld&) = delete;
    ~ControlHeld() { SetKeyboardState(m_saved); }

private:
    BYTE m_saved[256] = {};
};

struct KeyCase {
    const char* name;
    bool multi;
    std::vector<int> initial;
    std::vector<int> disabled;
    WPARAM key;
    bool ctrl;
    std::vector<int> selected;
};

void PrintTo(const KeyCase& c, std::ostream* os) { *os << c.name; }

std::vector<int> AllRows() {
    std::vector<int> rows;
    for (int i = 0; i < kRows; ++i) rows.push_back(i);
    return rows;
}

class KeyNavigation : public ::testing::TestWithParam<KeyCase> {};

TEST_P(KeyNavigation, MovesTheSelectionAndShowsIt) {
    const KeyCase& c = GetParam();
    ListHost host;
    host.Open(ListSkin(kRows, c.multi ? L"multiselect=\"true\"" : L""));
    for (int row : c.disabled) host.Row(row)->SetEnabled(false);
    for (size_t i = 0; i < c.initial.size(); ++i) {
        ASSERT_TRUE(i == 0 ? host.list->SelectItem(c.initial[i], true) : host.list->SelectMultiItem(c.initial[i], true));
    }
    if (c.initial.empty()) host.manager.SetFocus(host.list);
    host.notes.Clear();
    if (c.ctrl) {
        const ControlHeld ctrl;
        host.Key(c.key);
    } else {
        host.Key(c.key);
    }
    std::vector<int> selected = host.Selection();
    std::sort(selected.begin(), selected.end());
    EXPECT_EQ(c.selected, selected);
    ASSERT_TRUE(host.Paint());
    if (c.selected.size() == 1) {
        const RECT& row = host.Row(c.selected[0])->GetPos();
        const RECT& body = host.list->GetList()->GetPos();
        EXPECT_GE(row.top, body.top);
        EXPECT_LE(row.bottom, body.bottom);
        EXPECT_EQ(kSelectedBk, host.Pixel(row.left + 150, (row.top + row.bottom) / 2));
        EXPECT_EQ(host.Row(c.selected[0]), host.manager.GetFocus()) << "the selected row takes the focus";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lists, KeyNavigation,
    ::testing::Values(KeyCase{"UpSelectsAboveTheSmallest", true, {3, 7}, {}, VK_UP, false, {2}},
                      KeyCase{"DownSelectsBelowTheLargest", true, {3, 7}, {}, VK_DOWN, false, {8}},
                      KeyCase{"DownStaysOnTheLastRow", false, {kRows - 1}, {}, VK_DOWN, false, {kRows - 1}},
                      KeyCase{"UpStaysOnTheFirstRow", false, {0}, {}, VK_UP, false, {0}},
                      KeyCase{"UpWithoutSelectionDoesNothing", false, {}, {}, VK_UP, false, {}},
                      KeyCase{"DownStepsOverADisabledRow", false, {4}, {5}, VK_DOWN, false, {6}},
                      KeyCase{"DownScrollsTheRowIntoView", false, {7}, {}, VK_DOWN, false, {8}},
                      KeyCase{"HomeSelectsTheFirstEnabledRow", false, {9}, {0}, VK_HOME, false, {1}},
                      KeyCase{"EndSelectsTheLastRow", false, {2}, {}, VK_END, false, {kRows - 1}},
                      KeyCase{"EndSkipsADisabledLastRow", false, {2}, {kRows - 1}, VK_END, false, {kRows - 2}},
                      KeyCase{"ControlASelectsEveryRow", true, {4}, {}, 'A', true, AllRows()},
                      KeyCase{"ControlAAgainKeepsEachRowOnce", true, AllRows(), {}, 'A', true, AllRows()},
                      KeyCase{"ControlAInASingleSelectionDoesNothing", false, {4}, {}, 'A', true, {4}}),
    [](const ::testing::TestParamInfo<KeyCase>& info) { return std::string(info.param.name); });

TEST(ListKeys, PageKeysScrollByAPageAndKeepTheSelection) {
    ListHost host;
    host.Open(ListSkin(kRows));
    ASSERT_TRUE(host.list->SelectItem(1, true));
    const RECT& body = host.list->GetList()->GetPos();
    host.Key(VK_NEXT);
    EXPECT_EQ(body.bottom - body.top, host.list->GetScrollPos().cy);
    host.Key(VK_PRIOR);
    EXPECT_EQ(0, host.list->GetScrollPos().cy);
    EXPECT_EQ(std::vector<int>{1}, host.Selection());
}

TEST(ListKeys, EnterActivatesTheSelectedRow) {
    ListHost host;
    host.Open(ListSkin(5));
    host.ClickRow(3);
    ASSERT_EQ(1, host.notes.Count(L"itemselect"));
    EXPECT_EQ(3u, host.notes.Last(L"itemselect")->wParam);
    host.notes.Clear();
    host.Key(VK_RETURN);
    ASSERT_EQ(1, host.notes.Count(L"itemactivate"));
    EXPECT_EQ(host.Row(3), host.notes.Last(L"itemactivate")->sender);
}

}  // namespace
}  // namespace kvtest
