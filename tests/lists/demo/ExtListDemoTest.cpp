// A demo window with an extended list: check boxes in the rows and the
// header, coloured cells, and the text editor open over a cell with new
// text typed into it. It checks a few pixels; with KV_EXTLIST_SCREENSHOT set
// to a Unix path it also photographs the screen for a person to look at.
#include <gtest/gtest.h>

#include <cstdlib>

#include "lists/ListsKit.h"
#include "ui/lists/ListExUI.h"
#include "ui/lists/ListTextExtElementUI.h"

namespace kvtest {
namespace {

constexpr DWORD kBoxFill = 0x1F6FD0;
constexpr DWORD kDueColour = 0xFCE4C8;

std::wstring DemoSkin() {
    const std::wstring box = L"checkboxwidth=\"14\" checkboxheight=\"14\" checkboxnormalimage=\"box0.png\" "
                             L"checkboxselectedimage=\"box1.png\"";
    std::wstring xml =
        L"<Window defaultfontcolor=\"#FF202020\"><Font id=\"0\" name=\"Tahoma\" size=\"13\" default=\"true\"/>"
        L"<Font id=\"1\" name=\"Tahoma\" size=\"13\" bold=\"true\"/>"
        L"<VerticalLayout bkcolor=\"#FFFFFFFF\" inset=\"12,12,12,12\">"
        L"<ListEx name=\"list\" bordersize=\"1\" bordercolor=\"#FFC8D0DA\" itemfont=\"0\" itemtextpadding=\"6,0,6,0\" "
        L"itemlinecolor=\"#FFC8D0DA\" itemshowrowline=\"true\" itemshowcolumnline=\"true\" "
        L"itemselectedbkcolor=\"#FFDCEBFA\">"
        L"<ListHeader height=\"28\" bkcolor=\"#FFE8ECF0\">"
        L"<ListContainerHeaderItem text=\"Pet\" width=\"150\" font=\"1\" align=\"left\" textpadding=\"6,0,6,0\" "
        L"checkable=\"true\" " + box + L"/>"
        L"<ListContainerHeaderItem text=\"Breed\" width=\"150\" font=\"1\" align=\"left\" textpadding=\"6,0,6,0\" "
        L"editable=\"true\"/>"
        L"<ListContainerHeaderItem text=\"Kind\" width=\"110\" font=\"1\" align=\"left\" textpadding=\"6,0,6,0\" "
        L"comboable=\"true\"/>"
        L"<ListContainerHeaderItem text=\"Vaccination\" font=\"1\" align=\"left\" textpadding=\"6,0,6,0\"/>"
        L"</ListHeader>";
    for (int i = 0; i < 8; ++i) xml += L"<ListTextExtElement height=\"26\" " + box + L"/>";
    return xml + L"</ListEx></VerticalLayout></Window>";
}

TEST(ExtListDemo, ShowsChecksColouredCellsAndAnOpenEditor) {
    MakeImage("box0.png", {"-size", "14x14", "xc:none", "-fill", "white", "-stroke", "#555555", "-draw",
                           "rectangle 0,0 13,13"});
    MakeImage("box1.png", {"-size", "14x14", "xc:none", "-fill", "#1F6FD0", "-stroke", "#555555", "-draw",
                           "rectangle 0,0 13,13"});
    UseWorkFolder();
    Host host;
    SetWindowPos(host, nullptr, 20, 20, 640, 320, SWP_NOZORDER | SWP_NOACTIVATE);
    host.Build(DemoSkin());
    auto* list = static_cast<CListExUI*>(static_cast<IListUI*>(host.Find<CControlUI>(L"list")->GetInterface(L"ListEx")));
    ASSERT_NE(nullptr, list);
    host.manager.AddNotifier(list);

    const wchar_t* pets[][4] = {
        {L"Mochi", L"Ragdoll", L"Cat", L"Done"},       {L"Biscuit", L"Beagle", L"Dog", L"Due"},
        {L"Kiwi", L"Budgerigar", L"Parrot", L"Done"},  {L"Clover", L"Holland Lop", L"Rabbit", L"Done"},
        {L"Pepper", L"Border Collie", L"Dog", L"Due"}, {L"Sunny", L"Common", L"Goldfish", L"-"},
        {L"Luna", L"Siamese", L"Cat", L"Done"},        {L"Nibbles", L"Syrian", L"Hamster", L"Done"},
    };
    std::vector<CListTextExtElementUI*> rows;
    for (int i = 0; i < 8; ++i) {
        auto* row = static_cast<CListTextExtElementUI*>(list->GetItemAt(i)->GetInterface(L"ListTextExElement"));
        for (int c = 0; c < 4; ++c) row->SetColumnText(c, pets[i][c]);
        if (std::wstring(pets[i][3]) == L"Due") row->SetCellColor(3, 0xFFFCE4C8);
        row->SetCheck(i % 3 == 0);
        rows.push_back(row);
    }
    ASSERT_TRUE(host.Paint());

    const TListInfo* info = list->GetListInfo();
    const RECT& second = rows[1]->GetPos();
    const POINT cell{(info->rcColumn[1].left + info->rcColumn[1].right) / 2, (second.top + second.bottom) / 2};
    host.Click(cell.x, cell.y);
    list->GetEditUI()->SetSelAll();
    for (const wchar_t ch : std::wstring(L"Basset Hound")) host.Send(WM_CHAR, ch, 1);
    ASSERT_TRUE(host.Paint());

    const RECT box = rows[0]->GetCheckBoxRect(0);
    EXPECT_EQ(kBoxFill, host.Pixel(box.left + 7, box.top + 7)) << "a checked row";
    const RECT& due = rows[4]->GetPos();
    EXPECT_EQ(kDueColour, host.Pixel(info->rcColumn[3].right - 8, due.top + 4)) << "a coloured cell";
    EXPECT_EQ(0xFFFFFFu, host.Pixel(cell.x + 60, second.top + 3)) << "the editor over the cell";

    if (const char* shot = std::getenv("KV_EXTLIST_SCREENSHOT")) {
        EXPECT_EQ(0, RunUnix({"import", "-window", "root", shot}));
    }
}

}  // namespace
}  // namespace kvtest
