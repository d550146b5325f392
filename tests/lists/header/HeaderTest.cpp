// The list header: dragging a column's separator, the column rectangles the
// rows draw in, scale mode, a hidden header and the 32-column limit.
#include <gtest/gtest.h>

#include "lists/ListsKit.h"

namespace kvtest {
namespace {

// Columns 100 and 40 wide and a third taking the rest; a container row
// whose labels line up with the columns.
std::wstring HeaderSkin(const std::wstring& firstItem) {
    return Skin(L"<List name=\"list\"><ListHeader height=\"24\">"
                L"<ListHeaderItem name=\"h0\" text=\"Name\" width=\"100\" " +
                firstItem +
                L"/><ListHeaderItem name=\"h1\" text=\"Kind\" width=\"40\"/><ListHeaderItem name=\"h2\" text=\"Price\"/>"
                L"</ListHeader><ListContainerElement name=\"row\" height=\"20\"><Label name=\"c0\"/><Label name=\"c1\"/>"
                L"<Label name=\"c2\"/></ListContainerElement></List>");
}

struct DragCase {
    const char* name;
    const wchar_t* firstItem;  // attributes of the first column
    int column;
    int press;
    std::vector<int> moves;  // x of each mouse move while the button is down
    int width;
    int headerclicks;
};

void PrintTo(const DragCase& c, std::ostream* os) { *os << c.name; }

std::vector<int> StepsFrom(int from, int to) {
    std::vector<int> xs;
    for (int x = from; x != to;) xs.push_back(x += from < to ? 1 : -1);
    return xs;
}

class HeaderDrag : public ::testing::TestWithParam<DragCase> {};

TEST_P(HeaderDrag, ColumnWidthFollowsIntoTheRows) {
    const DragCase& c = GetParam();
    ListHost host;
    host.Open(HeaderSkin(c.firstItem));
    const wchar_t* names[] = {L"h0", L"h1", L"h2"};
    CControlUI* item = host.Find<CControlUI>(names[c.column]);
    host.Move(c.press, 12);
    host.Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(c.press, 12));
    for (int x : c.moves) host.Drag(x, 12);
    const int last = c.moves.empty() ? c.press : c.moves.back();
    host.Release(last, 12);
    ASSERT_TRUE(host.Paint());

    EXPECT_EQ(c.width, item->GetWidth());
    EXPECT_EQ(c.headerclicks, host.notes.Count(L"headerclick"));
    const TListInfo* info = host.list->GetListInfo();
    ASSERT_EQ(3, info->nColumns);
    const wchar_t* cells[] = {L"c0", L"c1", L"c2"};
    for (int i = 0; i < 3; ++i) {
        const RECT& column = host.Find<CControlUI>(names[i])->GetPos();
        EXPECT_EQ(column.left, info->rcColumn[i].left) << i;
        EXPECT_EQ(column.right, info->rcColumn[i].right) << i;
        const RECT& cell = host.Find<CControlUI>(cells[i])->GetPos();
        EXPECT_EQ(column.left, cell.left) << "cell " << i;
        EXPECT_EQ(column.right, cell.right) << "cell " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lists, HeaderDrag,
    ::testing::Values(DragCase{"RightSeparatorFollowsTheMouse", L"", 0, 98, {90, 80}, 82, 0},
                      DragCase{"PressFourPixelsBeforeTheSeparatorDrags", L"", 0, 93, {113}, 120, 0},
                      DragCase{"PressElsewhereClicksTheHeader", L"", 0, 50, {30}, 100, 1},
                      DragCase{"NonDragableItemIgnoresItsSeparator", L"dragable=\"false\"", 0, 98, {80}, 100, 0},
                      DragCase{"LeftSeparatorMovesTheLeftEdge", L"sepwidth=\"-4\"", 0, 6, {16}, 90, 0},
                      DragCase{"OneBigStepBelowTheMinimumChangesNothing", L"", 1, 138, {108}, 40, 0},
                      DragCase{"SmallStepsStopAboveTheMinimum", L"", 1, 138, StepsFrom(138, 108), 17, 0}),
    [](const ::testing::TestParamInfo<DragCase>& info) { return std::string(info.param.name); });

TEST(ListHeader, ScaleModeSharesTheWidthLessTheScrollBar) {
    Host host(400, 200);
    host.Build(L"<Window><Default name=\"VScrollBar\" value=\"width=&quot;8&quot;\"/>"
               L"<List name=\"list\" vscrollbar=\"true\"><ListHeader scaleheader=\"true\" height=\"24\">"
               L"<ListHeaderItem name=\"a\" scale=\"30\"/><ListHeaderItem name=\"b\" scale=\"70\"/></ListHeader>"
               L"</List></Window>");
    EXPECT_EQ(117, host.Find<CControlUI>(L"a")->GetWidth());
    EXPECT_EQ(274, host.Find<CControlUI>(L"b")->GetWidth());
}

TEST(ListHeader, HiddenHeaderStillGivesTheColumns) {
    ListHost host;
    host.Open(Skin(L"<List name=\"list\" header=\"hidden\"><ListHeader><ListHeaderItem width=\"100\"/>"
                   L"<ListHeaderItem width=\"50\"/></ListHeader>"
                   L"<ListLabelElement name=\"row\" text=\"a\" height=\"20\"/></List>"));
    const TListInfo* info = host.list->GetListInfo();
    ASSERT_EQ(2, info->nColumns);
    EXPECT_EQ(0, info->rcColumn[0].left);
    EXPECT_EQ(100, info->rcColumn[0].right);
    EXPECT_EQ(150, info->rcColumn[1].right);
    EXPECT_EQ(0, host.Find<CControlUI>(L"row")->GetY()) << "the rows start at the top";
}

TEST(ListHeader, FortyItemsGiveThirtyTwoColumns) {
    std::wstring items;
    for (int i = 0; i < 40; ++i) items += L"<ListHeaderItem width=\"10\"/>";
    ListHost host;
    host.Open(Skin(L"<List name=\"list\"><ListHeader>" + items + L"</ListHeader></List>"));
    EXPECT_EQ(40, host.list->GetHeader()->GetCount());
    EXPECT_EQ(TListInfo::kMaxColumns, host.list->GetListInfo()->nColumns);
}

}  // namespace
}  // namespace kvtest
