// The rich edit driven like a user drives it: typing, Enter and Tab, the
// selection and the clipboard, limits, read-only, scrolling and painting.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "controls/richedit/RichEditKit.h"

namespace kvtest {
namespace {

TEST(RichEdit, KeepsChineseAndLatinTextFromTheSkinAndFromSetText) {
    RichEditHost host(L"text=\"宠物 Pets\"");
    EXPECT_EQ(L"宠物 Pets", host.Text());
    EXPECT_EQ(7, host.edit->GetTextLength());
    host.edit->SetText(L"猫和狗 cats");
    EXPECT_EQ(L"猫和狗 cats", host.Text());
    EXPECT_STREQ(L"RichEdit", host.edit->GetClass());
    EXPECT_EQ(host.edit, host.edit->GetInterface(L"RichEdit"));
    EXPECT_EQ(nullptr, host.edit->GetInterface(L"richedit"));
}

TEST(RichEdit, TypingInsertsAtTheCaretAndReportsEachChange) {
    RichEditHost host;
    host.Focus();
    host.notes.Clear();
    host.Type(L"ab猫");
    EXPECT_EQ(L"ab猫", host.Text());
    EXPECT_EQ(3, host.notes.Count(L"textchanged"));
    EXPECT_EQ(host.edit, host.notes.Last(L"textchanged")->sender);
}

struct ReturnCase {
    const wchar_t* attributes;
    bool ctrl;
    bool breaksLine;
};
class RichEditReturn : public ::testing::TestWithParam<ReturnCase> {};

TEST_P(RichEditReturn, EitherBreaksTheLineOrReportsReturn) {
    const ReturnCase& c = GetParam();
    RichEditHost host(c.attributes);
    host.Focus();
    host.Type(L"ab");
    host.notes.Clear();
    if (c.ctrl) {
        HeldKey ctrl(VK_CONTROL);
        host.Stroke(VK_RETURN, L'\n');
    } else {
        host.Stroke(VK_RETURN, L'\r');
    }
    host.Type(L"c");
    EXPECT_EQ(c.breaksLine ? L"ab\rc" : L"abc", host.Text());
    EXPECT_EQ(c.breaksLine ? 0 : 1, host.notes.Count(L"return"));
}

INSTANTIATE_TEST_SUITE_P(Flags, RichEditReturn, ::testing::Values(
    ReturnCase{L"", false, true},
    ReturnCase{L"", true, true},
    ReturnCase{L"wantreturn=\"false\"", false, false},
    ReturnCase{L"wantreturn=\"false\"", true, false},
    ReturnCase{L"wantctrlreturn=\"false\"", false, true},
    ReturnCase{L"wantctrlreturn=\"false\"", true, false},
    ReturnCase{L"wantreturn=\"True\"", false, false}));

struct TabCase {
    const wchar_t* attributes;
    bool typed;
};
class RichEditTab : public ::testing::TestWithParam<TabCase> {};

TEST_P(RichEditTab, IsTypedOrMovesTheFocus) {
    const TabCase& c = GetParam();
    RichEditHost host(c.attributes);
    host.Focus();
    MSG msg = {host.GetHWND(), WM_KEYDOWN, VK_TAB, 1, 0, {}};
    if (!CPaintManagerUI::TranslateMessage(&msg)) {
        host.Send(WM_KEYDOWN, VK_TAB, 1);
        host.Send(WM_CHAR, L'\t', 1);
    }
    EXPECT_EQ(c.typed ? L"\t" : L"", host.Text());
    EXPECT_EQ(c.typed ? static_cast<CControlUI*>(host.edit) : host.Find<CControlUI>(L"next"), host.manager.GetFocus());
}

INSTANTIATE_TEST_SUITE_P(Flags, RichEditTab, ::testing::Values(
    TabCase{L"", true},
    TabCase{L"wanttab=\"false\"", false},
    TabCase{L"WantTab=\"false\"", true},
    TabCase{L"wanttab=\"True\"", false}));

TEST(RichEdit, StopsTypingAtItsLimit) {
    RichEditHost host(L"maxchar=\"4\"");
    host.Focus();
    host.Type(L"宠物店管理");
    EXPECT_EQ(L"宠物店管", host.Text());
    host.edit->SetLimitText(6);
    host.Type(L"理系统");
    EXPECT_EQ(L"宠物店管理系", host.Text());
}

TEST(RichEdit, LimitBelowOneIsTheDefault) {
    for (const wchar_t* limit : {L"0", L"-5"}) {
        RichEditHost host(std::wstring(L"maxchar=\"") + limit + L"\"");
        EXPECT_EQ(32767, host.Ask(EM_GETLIMITTEXT)) << "from the skin: " << Narrow(limit);
        host.edit->SetLimitText(8);
        host.edit->SetLimitText(_wtoi(limit));
        EXPECT_EQ(32767, host.Ask(EM_GETLIMITTEXT)) << "set later: " << Narrow(limit);
    }
}

TEST(RichEdit, ReadOnlyTakesNoTypingButShowsItsText) {
    RichEditHost host(L"readonly=\"true\" text=\"fixed\"");
    EXPECT_TRUE(host.edit->IsReadOnly());
    host.Focus();
    host.Type(L"x");
    host.edit->SetSelAll();
    host.edit->Cut();
    EXPECT_EQ(L"fixed", host.Text());
}

TEST(RichEdit, SelectionGoesThroughTheClipboard) {
    RichEditHost host(L"text=\"Korvanthel宠物店\"");
    host.Focus();
    host.edit->SetSel(0, 10);
    EXPECT_EQ(SEL_TEXT | SEL_MULTICHAR, host.edit->GetSelectionType());
    host.edit->Cut();
    EXPECT_EQ(L"宠物店", host.Text());
    host.edit->SetSel(3, 3);
    EXPECT_EQ(SEL_EMPTY, host.edit->GetSelectionType());
    host.edit->Paste();
    EXPECT_EQ(L"宠物店Korvanthel", host.Text());
    host.edit->SetSel(0, 1);
    host.edit->Copy();
    host.edit->Clear();
    EXPECT_EQ(L"物店Korvanthel", host.Text());
    ASSERT_TRUE(host.edit->CanUndo());
    EXPECT_TRUE(host.edit->Undo());
    EXPECT_EQ(L"宠物店Korvanthel", host.Text());
    EXPECT_TRUE(host.edit->CanRedo());
    host.edit->SetSelAll();
    {
        HeldKey ctrl(VK_CONTROL);
        host.Stroke('V');
    }
    EXPECT_EQ(L"宠", host.Text()) << "Ctrl+V pastes what Copy took";
}

TEST(RichEdit, WheelScrollsTheTextAndCtrlWheelZoomsIt) {
    std::wstring lines;
    for (int i = 0; i < 40; ++i) lines += L"line " + std::to_wstring(i) + L"\r";
    RichEditHost host(L"vscrollbar=\"true\"");
    host.edit->SetText(lines.c_str());
    ASSERT_TRUE(host.Paint());
    CScrollBarUI* bar = host.edit->GetVerticalScrollBar();
    ASSERT_TRUE(bar && bar->IsVisible());
    EXPECT_GT(bar->GetScrollRange(), 0);

    const auto firstLine = [&] {
        LRESULT line = 0;
        host.edit->TxSendMessage(EM_GETFIRSTVISIBLELINE, 0, 0, &line);
        return static_cast<int>(line);
    };
    host.Wheel(50, 50, -WHEEL_DELTA);
    EXPECT_GT(firstLine(), 0);
    EXPECT_GT(bar->GetScrollPos(), 0);

    host.edit->SetScrollPos(SIZE{0, 0});
    EXPECT_EQ(0, firstLine()) << "dragging the bar to the top scrolls the text back";

    POINT pt{50, 50};
    ClientToScreen(host.GetHWND(), &pt);
    {
        HeldKey ctrl(VK_CONTROL);
        host.Send(WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, WHEEL_DELTA), MAKELPARAM(pt.x, pt.y));
    }
    int numerator = 0;
    int denominator = 0;
    host.edit->TxSendMessage(EM_GETZOOM, reinterpret_cast<WPARAM>(&numerator), reinterpret_cast<LPARAM>(&denominator),
                             nullptr);
    EXPECT_NE(numerator, denominator) << "the engine zoomed";
    EXPECT_EQ(0, firstLine());
}

TEST(RichEdit, PaintsItsTextInItsColourAndTheTipOnlyWhenEmptyAndUnfocused) {
    RichEditHost host(L"font=\"0\" textcolor=\"#FFE00000\" tipvalue=\"输入宠物名称\" tipvaluecolor=\"#FF0000E0\"");
    const auto count = [&](DWORD colour) {
        int n = 0;
        for (int y = 0; y < 120; ++y) n += host.CountInRow(y, 0, 300, colour);
        return n;
    };
    host.manager.SetFocus(nullptr);  // the window gave it the focus as its first tab stop
    ASSERT_TRUE(host.Paint());
    EXPECT_GT(count(0x0000E0), 10) << "the tip";
    host.edit->SetText(L"Mimi 咪咪");
    ASSERT_TRUE(host.Paint());
    EXPECT_EQ(0, count(0x0000E0));
    EXPECT_GT(count(0xE00000), 10) << "the text";
    host.edit->SetText(L"");
    host.Focus();
    ASSERT_TRUE(host.Paint());
    EXPECT_EQ(0, count(0x0000E0)) << "no tip while focused";
}

// Reads the states of the context menu when it shows and picks the item with
// `key`, or closes the menu when `key` is 0.
class MenuDriver : public IMessageFilterUI {
public:
    explicit MenuDriver(WCHAR key) : m_key(key) {}
    LRESULT MessageHandler(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override {
        (void)handled;
        if (msg != WM_ENTERIDLE || wParam != MSGF_MENU || shown) return 0;
        shown = true;
        const HWND menuWindow = reinterpret_cast<HWND>(lParam);
        const auto menu = reinterpret_cast<HMENU>(SendMessageW(menuWindow, MN_GETHMENU, 0, 0));
        for (const UINT id : {102u, 103u, 104u, 105u}) {
            if (GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED) grey += std::to_wstring(id) + L" ";
        }
        if (m_key) {
            PostMessageW(menuWindow, WM_CHAR, m_key, 1);
        } else {
            PostMessageW(menuWindow, WM_KEYDOWN, VK_ESCAPE, 1);
        }
        return 0;
    }
    bool shown = false;
    std::wstring grey;

private:
    WCHAR m_key;
};

void CALLBACK CloseMenu(HWND, UINT, UINT_PTR, DWORD) { EndMenu(); }

// Right-clicks the edit's centre and lets `driver` work the menu; a menu that
// never shows is closed after a while so the test cannot hang.
void RunContextMenu(RichEditHost& host, MenuDriver& driver) {
    host.manager.AddMessageFilter(&driver);
    const RECT& rc = host.edit->GetPos();
    const LPARAM pt = MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    const UINT_PTR guard = SetTimer(nullptr, 0, 5000, CloseMenu);
    host.Send(WM_RBUTTONDOWN, MK_RBUTTON, pt);
    host.Send(WM_RBUTTONUP, 0, pt);
    KillTimer(nullptr, guard);
    host.manager.RemoveMessageFilter(&driver);
    EXPECT_TRUE(driver.shown);
}

struct MenuCase {
    const wchar_t* attributes;
    bool select;
    const wchar_t* grey;
};
class RichEditMenu : public ::testing::TestWithParam<MenuCase> {};

TEST_P(RichEditMenu, GreysWhatCannotBeDone) {
    const MenuCase& c = GetParam();
    RichEditHost host(c.attributes);
    host.Focus();
    if (c.select) host.edit->SetSelAll();
    MenuDriver driver(0);
    RunContextMenu(host, driver);
    EXPECT_EQ(c.grey, driver.grey);
}

INSTANTIATE_TEST_SUITE_P(States, RichEditMenu, ::testing::Values(
    MenuCase{L"text=\"abc\"", true, L""},
    MenuCase{L"text=\"abc\"", false, L"102 103 105 "},
    MenuCase{L"text=\"abc\" readonly=\"true\"", true, L"102 104 105 "},
    MenuCase{L"text=\"abc\" readonly=\"true\"", false, L"102 103 104 105 "}));

TEST(RichEdit, ContextMenuChoiceEditsTheText) {
    RichEditHost host(L"text=\"abc\"");
    host.Focus();
    host.edit->SetSel(0, 0);
    MenuDriver selectAll(L'a');
    RunContextMenu(host, selectAll);
    MenuDriver clear(L'l');
    RunContextMenu(host, clear);
    EXPECT_EQ(L"", host.Text());
}

TEST(RichEdit, CommandsWithTheMenusNumbersFromElsewhereEditNothing) {
    RichEditHost host(L"text=\"abc\"");
    host.Focus();
    host.edit->SetSelAll();
    for (const WPARAM command : {101, 102, 104, 105, 107}) host.Send(WM_COMMAND, command, 0);
    EXPECT_EQ(L"abc", host.Text());
    EXPECT_EQ(SEL_TEXT | SEL_MULTICHAR, host.edit->GetSelectionType());
}

// A rich edit that notes every message it gives the engine.
class NotingRichEdit : public CRichEditUI {
public:
    HRESULT TxSendMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override {
        seen.push_back(msg);
        return CRichEditUI::TxSendMessage(msg, wParam, lParam, result);
    }
    std::vector<UINT> seen;
};

TEST(RichEdit, QuestionsToTheEngineGoThroughTxSendMessage) {
    RichEditHost host;
    auto* noting = new NotingRichEdit;
    ASSERT_TRUE(host.Find<CContainerUI>(L"root")->Add(noting));
    noting->SetText(L"abc");
    const struct {
        UINT msg;
        void (*ask)(const CRichEditUI&);
    } questions[] = {
        {EM_GETTEXTLENGTHEX, [](const CRichEditUI& edit) { (void)edit.GetTextLength(); }},
        {EM_GETTEXTEX, [](const CRichEditUI& edit) { (void)edit.GetText(); }},
        {EM_SELECTIONTYPE, [](const CRichEditUI& edit) { (void)edit.GetSelectionType(); }},
        {EM_CANUNDO, [](const CRichEditUI& edit) { (void)edit.CanUndo(); }},
        {EM_CANREDO, [](const CRichEditUI& edit) { (void)edit.CanRedo(); }},
    };
    for (const auto& question : questions) {
        noting->seen.clear();
        question.ask(*noting);
        EXPECT_NE(0, std::count(noting->seen.begin(), noting->seen.end(), question.msg))
            << "message " << std::hex << question.msg;
    }
    EXPECT_EQ(L"abc", std::wstring(noting->GetText().GetData()));
}

struct FormatCase {
    const wchar_t* attributes;
    LONG twips;
    bool bold;
    WORD alignment;
    bool wraps;
};
class RichEditFormat : public ::testing::TestWithParam<FormatCase> {};

TEST_P(RichEditFormat, ReachesTheEngine) {
    const FormatCase& c = GetParam();
    RichEditHost host(c.attributes);
    host.edit->SetText(L"A line of text long enough to need more than one line in a narrow edit: 宠物店管理系统");
    CHARFORMAT2W chars = {};
    chars.cbSize = sizeof chars;
    host.Ask(EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&chars));
    EXPECT_EQ(c.twips, chars.yHeight);
    EXPECT_EQ(c.bold, (chars.dwEffects & CFE_BOLD) != 0);
    EXPECT_STREQ(L"Tahoma", chars.szFaceName);
    PARAFORMAT2 para = {};
    para.cbSize = sizeof para;
    host.Ask(EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&para));
    EXPECT_EQ(c.alignment, para.wAlignment);
    EXPECT_EQ(c.wraps, host.Ask(EM_GETLINECOUNT) > 1);
}

INSTANTIATE_TEST_SUITE_P(Attributes, RichEditFormat, ::testing::Values(
    FormatCase{L"font=\"0\"", 14 * 15, false, PFA_LEFT, true},
    FormatCase{L"font=\"1\"", 12 * 15, true, PFA_LEFT, true},
    FormatCase{L"font=\"1\" align=\"center\"", 12 * 15, true, PFA_CENTER, true},
    FormatCase{L"font=\"1\" align=\"center right\"", 12 * 15, true, PFA_RIGHT, true},
    FormatCase{L"font=\"1\" autohscroll=\"true\"", 12 * 15, true, PFA_LEFT, false}));

}  // namespace
}  // namespace kvtest
