// Selecting rows with the mouse and from the program, in single and multiple
// selection: the selected set, what the rows paint, and "itemselect" sent
// once per row that becomes selected.
#include <gtest/gtest.h>

#include "lists/ListsKit.h"

namespace kvtest {
namespace {

struct Step {
    enum Kind { Click, CtrlClick, ShiftClick, Program, ProgramMulti } kind;
    int row;
};

struct SelectionCase {
    const char* name;
    bool multi;
    std::vector<Step> steps;
    std::vector<int> selected;
    int itemselects;
};

void PrintTo(const SelectionCase& c, std::ostream* os) { *os << c.name; }

class SelectionRules : public ::testing::TestWithParam<SelectionCase> {};

TEST_P(SelectionRules, SetRowsAndNotificationsAgree) {
    const SelectionCase& c = GetParam();
    ListHost host;
    host.Open(ListSkin(8, c.multi ? L"multiselect=\"true\"" : L""));
    for (const Step& step : c.steps) {
        switch (step.kind) {
        case Step::Click: host.ClickRow(step.row); break;
        case Step::CtrlClick: host.ClickRow(step.row, MK_CONTROL); break;
        case Step::ShiftClick: host.ClickRow(step.row, MK_SHIFT); break;
        case Step::Program: EXPECT_TRUE(host.list->SelectItem(step.row)); break;
        case Step::ProgramMulti: EXPECT_TRUE(host.list->SelectMultiItem(step.row)); break;
        }
    }
    EXPECT_EQ(c.selected, host.Selection());
    std::vector<int> sorted = c.selected;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, host.Highlighted());
    EXPECT_EQ(c.itemselects, host.notes.Count(L"itemselect"));
    EXPECT_EQ(c.selected.empty() ? -1 : c.selected.front(), host.list->GetCurSel());
}

INSTANTIATE_TEST_SUITE_P(
    Lists, SelectionRules,
    ::testing::Values(
        SelectionCase{"ClickSelectsOneRow", false, {{Step::Click, 2}}, {2}, 1},
        SelectionCase{"ClickMovesTheSelection", false, {{Step::Click, 2}, {Step::Click, 4}}, {4}, 2},
        SelectionCase{"ClickOnTheSelectedRowSendsNothing", false, {{Step::Click, 4}, {Step::Click, 4}}, {4}, 1},
        SelectionCase{"ProgramSelectsOnceWithOneNotification", false, {{Step::Program, 3}}, {3}, 1},
        SelectionCase{"ProgramSelectsTheSelectedRowAgain", false, {{Step::Program, 3}, {Step::Program, 3}}, {3}, 2},
        SelectionCase{"ControlClickInASingleSelectionReplacesIt", false,
                      {{Step::Click, 1}, {Step::CtrlClick, 5}}, {5}, 2},
        SelectionCase{"ControlClickDeselectsTheSelectedRow", false, {{Step::Click, 1}, {Step::CtrlClick, 1}}, {}, 1},
        SelectionCase{"ControlClicksAddRows", true,
                      {{Step::Click, 1}, {Step::CtrlClick, 3}, {Step::CtrlClick, 5}}, {1, 3, 5}, 3},
        SelectionCase{"ControlClickTakesOneRowOut", true,
                      {{Step::Click, 1}, {Step::CtrlClick, 3}, {Step::CtrlClick, 1}}, {3}, 2},
        SelectionCase{"PlainClickEndsAMultipleSelection", true,
                      {{Step::Click, 1}, {Step::CtrlClick, 3}, {Step::Click, 5}}, {5}, 3},
        SelectionCase{"PlainClickOnASelectedRowKeepsOnlyIt", true,
                      {{Step::Click, 1}, {Step::CtrlClick, 3}, {Step::Click, 1}}, {1}, 2},
        SelectionCase{"ShiftHasNoMeaning", true, {{Step::Click, 1}, {Step::ShiftClick, 4}}, {4}, 2},
        SelectionCase{"ProgramAddsToAMultipleSelection", true,
                      {{Step::ProgramMulti, 2}, {Step::ProgramMulti, 4}}, {2, 4}, 2},
        SelectionCase{"ProgramSelectItemEndsAMultipleSelection", true,
                      {{Step::ProgramMulti, 2}, {Step::ProgramMulti, 4}, {Step::Program, 6}}, {6}, 3}),
    [](const ::testing::TestParamInfo<SelectionCase>& info) { return std::string(info.param.name); });

TEST(ListRows, SelectedAttributeSelectsOnlyWhenTrue) {
    ListHost host;
    host.Open(Skin(L"<List name=\"list\" itemselectedbkcolor=\"#FF3060C0\">"
                   L"<ListLabelElement text=\"a\" height=\"20\" selected=\"false\"/>"
                   L"<ListLabelElement text=\"b\" height=\"20\" selected=\"true\"/>"
                   L"<ListContainerElement height=\"20\" selected=\"false\"/></List>"));
    EXPECT_EQ(std::vector<int>{1}, host.Selection());
    EXPECT_EQ(std::vector<int>{1}, host.Highlighted());
}

// Removing and inserting rows renumbers the rows and the selected set alike.
TEST(ListRows, SelectedSetFollowsRowsThatMove) {
    ListHost host;
    host.Open(ListSkin(10, L"multiselect=\"true\""));
    for (int row : {2, 5, 8}) ASSERT_TRUE(host.list->SelectMultiItem(row));
    host.notes.Clear();

    ASSERT_TRUE(host.list->RemoveAt(5));
    EXPECT_EQ((std::vector<int>{2, 7}), host.Selection());
    EXPECT_EQ((std::vector<int>{2, 7}), host.Highlighted());
    EXPECT_STREQ(L"Row 8", host.Row(7)->GetText().GetData());

    ASSERT_TRUE(host.list->RemoveAt(0));
    EXPECT_EQ((std::vector<int>{1, 6}), host.Selection());

    auto* inserted = new CListLabelElementUI();
    inserted->SetFixedHeight(20);
    ASSERT_TRUE(host.list->AddAt(inserted, 0));
    EXPECT_EQ((std::vector<int>{2, 7}), host.Selection());
    EXPECT_EQ((std::vector<int>{2, 7}), host.Highlighted());
    for (int i = 0; i < host.list->GetCount(); ++i) {
        EXPECT_EQ(i, static_cast<IListItemUI*>(host.Row(i)->GetInterface(L"ListItem"))->GetIndex());
    }
    EXPECT_EQ(0, host.notes.Count(L"itemselect")) << "moving rows selects nothing";
}

// A control that is not a row may sit among the rows: the rows after it
// still move down by one, and a click then selects the row clicked.
TEST(ListRows, AnyControlInsertedAmongRowsMovesTheLaterRowsAndTheSelection) {
    for (const bool isRow : {true, false}) {
        ListHost host;
        host.Open(ListSkin(6));
        host.ClickRow(3);
        CControlUI* inserted = isRow ? static_cast<CControlUI*>(new CListLabelElementUI()) : new CLabelUI();
        inserted->SetFixedHeight(20);
        ASSERT_TRUE(host.list->AddAt(inserted, 1));
        EXPECT_EQ(std::vector<int>{4}, host.Selection()) << "row inserted: " << isRow;
        EXPECT_EQ(std::vector<int>{4}, host.Highlighted()) << "row inserted: " << isRow;

        host.notes.Clear();
        host.ClickRow(6);
        EXPECT_EQ(std::vector<int>{6}, host.Selection()) << "row inserted: " << isRow;
        ASSERT_NE(nullptr, host.notes.Last(L"itemselect"));
        EXPECT_EQ(6u, host.notes.Last(L"itemselect")->wParam);
    }
}

// Only "itemrselected" written exactly so, with the value "true", lets a
// right-button press select, on text rows and container rows alike.
TEST(ListRows, RightButtonSelectsOnlyWithItemRSelected) {
    const struct {
        const wchar_t* attribute;
        bool selects;
    } cases[] = {{L"", false},
                 {L"itemrselected=\"true\"", true},
                 {L"itemrselected=\"True\"", false},
                 {L"ItemRSelected=\"true\"", false}};
    for (const auto& c : cases) {
        for (const wchar_t* row : {L"ListLabelElement", L"ListContainerElement"}) {
            ListHost host;
            host.Open(ListSkin(3, c.attribute, L"", row));
            host.RightClickRow(1);
            const std::vector<int> expected = c.selects ? std::vector<int>{1} : std::vector<int>{};
            EXPECT_EQ(expected, host.Selection()) << Narrow(c.attribute) << " " << Narrow(row);
            EXPECT_EQ(expected, host.Highlighted()) << Narrow(c.attribute) << " " << Narrow(row);
            EXPECT_EQ(c.selects ? 1 : 0, host.notes.Count(L"itemselect"));
        }
    }
}

TEST(ListRows, HidingTheSelectedRowClearsTheSelection) {
    ListHost host;
    host.Open(ListSkin(5));
    host.ClickRow(2);
    host.Row(2)->SetVisible(false);
    EXPECT_EQ(-1, host.list->GetCurSel());
    EXPECT_TRUE(host.Highlighted().empty());
}

}  // namespace
}  // namespace kvtest
