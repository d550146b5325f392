// A demo window with a list of 300 rows under a three-column header: text
// rows filled by a text callback, alternate backgrounds, grid lines, a hot
// row and a multiple selection. It checks a few pixels; with
// KV_LISTS_SCREENSHOT set to a Unix path it also photographs the screen for
// a person to look at.
#include <gtest/gtest.h>

#include <cstdlib>

#include "lists/ListsKit.h"

namespace kvtest {
namespace {

constexpr int kRows = 300;
constexpr DWORD kAltBk = 0xF4F7FB;
constexpr DWORD kHotBk = 0xDCEBFA;
constexpr DWORD kLine = 0xC8D0DA;
constexpr DWORD kPickedBk = 0x2F6FD0;

class PetTexts : public IListTextCallback {
public:
    LPCTSTR GetItemText(CControlUI*, int row, int column) override {
        static const wchar_t* kinds[] = {L"Cat", L"Dog", L"Rabbit", L"Parrot", L"Goldfish"};
        switch (column) {
        case 0: m_text.SmallFormat(L"Pet number %d", row + 1); break;
        case 1: m_text = kinds[row % 5]; break;
        default: m_text.SmallFormat(L"%d.%02d", 20 + row * 7 % 180, row * 13 % 100); break;
        }
        return m_text;
    }

private:
    CUIString m_text;
};

std::wstring DemoSkin() {
    std::wstring xml =
        L"<Window defaultfontcolor=\"#FF202020\"><Font id=\"0\" name=\"Tahoma\" size=\"13\" default=\"true\"/>"
        L"<Font id=\"1\" name=\"Tahoma\" size=\"13\" bold=\"true\"/>"
        L"<VerticalLayout bkcolor=\"#FFFFFFFF\" inset=\"12,12,12,12\">"
        L"<List name=\"list\" vscrollbar=\"true\" multiselect=\"true\" bordersize=\"1\" bordercolor=\"#FFC8D0DA\" "
        L"itemfont=\"0\" itemtextpadding=\"8,0,8,0\" itembkcolor=\"#FFF4F7FB\" itemaltbk=\"true\" "
        L"itemhotbkcolor=\"#FFDCEBFA\" itemselectedbkcolor=\"#FF2F6FD0\" itemselectedtextcolor=\"#FFFFFFFF\" "
        L"itemlinecolor=\"#FFC8D0DA\" itemshowrowline=\"true\" itemshowcolumnline=\"true\">"
        L"<ListHeader height=\"28\" bkcolor=\"#FFE8ECF0\">"
        L"<ListHeaderItem text=\"Name\" width=\"220\" font=\"1\" align=\"left\" textpadding=\"8,0,8,0\"/>"
        L"<ListHeaderItem text=\"Kind\" width=\"150\" font=\"1\" align=\"left\" textpadding=\"8,0,8,0\"/>"
        L"<ListHeaderItem text=\"Price\" font=\"1\" align=\"right\" textpadding=\"8,0,8,0\"/></ListHeader>";
    for (int i = 0; i < kRows; ++i) xml += L"<ListTextElement height=\"24\"/>";
    return xml + L"</List></VerticalLayout></Window>";
}

TEST(ListDemo, ShowsRowsAlignedToColumnsWithHotAndSelectedRows) {
    ListHost host;
    SetWindowPos(host, nullptr, 20, 20, 640, 480, SWP_NOZORDER | SWP_NOACTIVATE);
    PetTexts texts;
    host.Build(DemoSkin());
    host.list = host.Find<CListUI>(L"list");
    host.list->SetTextCallback(&texts);
    ASSERT_EQ(kRows, host.list->GetCount());
    ASSERT_EQ(3, host.list->GetListInfo()->nColumns);

    host.ClickRow(2);
    host.ClickRow(5, MK_CONTROL);
    const RECT& hot = host.Row(7)->GetPos();
    host.Move(hot.left + 300, (hot.top + hot.bottom) / 2);
    ASSERT_TRUE(host.Paint());

    const TListInfo* info = host.list->GetListInfo();
    const auto rowPixel = [&](int row, int x) {
        const RECT& rc = host.Row(row)->GetPos();
        return host.Pixel(x, rc.top + 4);
    };
    const int inCell = info->rcColumn[1].left + 100;
    EXPECT_EQ(kAltBk, rowPixel(0, inCell));
    EXPECT_EQ(0xFFFFFFu, rowPixel(1, inCell)) << "odd rows take no colour";
    EXPECT_EQ(kPickedBk, rowPixel(2, inCell));
    EXPECT_EQ(kPickedBk, rowPixel(5, inCell));
    EXPECT_EQ(kHotBk, rowPixel(7, inCell));
    EXPECT_EQ(kLine, rowPixel(0, info->rcColumn[0].right - 1)) << "column line";
    const RECT& first = host.Row(0)->GetPos();
    EXPECT_EQ(kLine, host.Pixel(inCell, first.bottom - 1)) << "row line";

    if (const char* shot = std::getenv("KV_LISTS_SCREENSHOT")) {
        EXPECT_EQ(0, RunUnix({"import", "-window", "root", shot}));
    }
}

}  // namespace
}  // namespace kvtest
