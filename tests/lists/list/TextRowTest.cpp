// Links in the columns of a text row: "link" with the link's index on a
// click, at most eight links a row, none from a disabled row.
#include <gtest/gtest.h>

#include "lists/ListsKit.h"

namespace kvtest {
namespace {

struct Link {
    WPARAM index;
    int x;  // where a click first reaches it
};

// The links a click reaches along the middle of row 0, left to right.
std::vector<Link> ClickableLinks(ListHost& host) {
    const RECT rc = host.Row(0)->GetPos();
    const int y = (rc.top + rc.bottom) / 2;
    std::vector<Link> links;
    for (int x = rc.left; x < rc.right; ++x) {
        host.notes.Clear();
        host.Click(x, y);
        const Notes::Note* note = host.notes.Last(L"link");
        if (!note) continue;
        EXPECT_EQ(host.Row(0), note->sender);
        EXPECT_EQ(0, note->lParam);
        if (links.empty() || links.back().index != note->wParam) links.push_back(Link{note->wParam, x});
    }
    return links;
}

// Three links in the first column and six in the second: the second
// column's first five fill the eight slots, its sixth is drawn but dead.
TEST(ListTextRow, ClickedLinksReportTheirIndexUpToEightARow) {
    ListHost host;
    host.Open(Skin(L"<List name=\"list\" itemshowhtml=\"true\"><ListHeader height=\"24\">"
                   L"<ListHeaderItem width=\"100\"/><ListHeaderItem width=\"190\"/></ListHeader>"
                   L"<ListTextElement height=\"24\"/></List>"));
    auto* row = static_cast<CListTextElementUI*>(host.Row(0));
    row->SetText(0, L"<a>a0</a> <a>a1</a> <a>a2</a>");
    row->SetText(1, L"<a>b0</a> <a>b1</a> <a>b2</a> <a>b3</a> <a>b4</a> <a>b5</a>");
    ASSERT_TRUE(host.Paint());
    const int secondColumn = host.list->GetHeader()->GetItemAt(1)->GetPos().left;

    const std::vector<Link> links = ClickableLinks(host);
    ASSERT_EQ(8u, links.size());
    for (size_t i = 0; i < links.size(); ++i) EXPECT_EQ(i, links[i].index);
    EXPECT_LT(links[2].x, secondColumn);
    EXPECT_GE(links[3].x, secondColumn);

    row->SetEnabled(false);
    EXPECT_TRUE(ClickableLinks(host).empty()) << "a disabled row";
}

}  // namespace
}  // namespace kvtest
