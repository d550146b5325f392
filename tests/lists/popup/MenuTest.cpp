// Context menus: where a root menu and its sub-menus open, which hovers and
// keys open and close sub-menus, the command record the main window gets,
// and menus outliving what they point at.
#include <gtest/gtest.h>

#include "lists/popup/PopupKit.h"

namespace kvtest {
namespace {

constexpr wchar_t kMenuWindow[] = L"KvUIMenuWnd";

std::wstring MenuSkin(const std::wstring& lastElement = L"<MenuElement name=\"quit\" text=\"Quit\" userdata=\"bye\"/>") {
    return L"<Window><Menu name=\"menu\" bkcolor=\"#FFFFFFFF\" itemtextpadding=\"30,0,0,0\" "
           L"itemhotbkcolor=\"#FFDCEBFA\"><MenuElement name=\"alpha\" text=\"Alpha\"/>"
           L"<MenuElement name=\"beta\" text=\"Beta\" expland=\"true\">"
           L"<MenuElement name=\"beta1\" text=\"Beta one\"/><MenuElement name=\"beta2\" text=\"Beta two\"/>"
           L"</MenuElement><MenuElement linetype=\"true\"/>" +
           lastElement + L"</Menu></Window>";
}

// Rows are 150 wide; three rows of 30 and a separator of 6.
constexpr LONG kMenuWidth = 150;
constexpr LONG kMenuHeight = 96;

struct MenuHost : Host {
    std::unique_ptr<CMenuWnd> Open(POINT at, DWORD alignment = MenuAlignLeft | MenuAlignTop,
                                   MenuCheckMap* checks = nullptr, const std::wstring& skin = MenuSkin()) {
        auto menu = std::make_unique<CMenuWnd>();
        EXPECT_TRUE(menu->Init(nullptr, skin.c_str(), at, &manager, checks, alignment));
        EXPECT_TRUE(WaitLaidOut(menu->GetMenuRoot()));
        return menu;
    }
    ~MenuHost() override {
        for (HWND window : ThreadWindows(kMenuWindow)) DestroyWindow(window);
        // The check map a test handed over goes with the test.
        GetMenuObserver().SetExtraData(nullptr);
    }
};

CControlUI* Element(CMenuWnd& menu, LPCTSTR name) { return menu.GetManager()->FindControl(name); }

RECT WorkArea(POINT at) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoW(MonitorFromPoint(at, MONITOR_DEFAULTTONEAREST), &info);
    return info.rcWork;
}

struct PlacementCase {
    POINT at;
    DWORD alignment;
    POINT corner;  // the menu's top-left corner, relative to the point
};

class RootMenuPlacement : public ::testing::TestWithParam<PlacementCase> {};

TEST_P(RootMenuPlacement, FollowsTheAlignmentFlags) {
    const PlacementCase c = GetParam();
    MenuHost host;
    auto menu = host.Open(c.at, c.alignment);
    const RECT rc = WindowRect(*menu);
    EXPECT_EQ(c.at.x + c.corner.x, rc.left);
    EXPECT_EQ(c.at.y + c.corner.y, rc.top);
    EXPECT_EQ(kMenuWidth, rc.right - rc.left);
    EXPECT_EQ(kMenuHeight, rc.bottom - rc.top);
}

INSTANTIATE_TEST_SUITE_P(
    Flags, RootMenuPlacement,
    ::testing::Values(PlacementCase{{400, 300}, MenuAlignLeft | MenuAlignTop, {0, 0}},
                      PlacementCase{{400, 300}, MenuAlignRight, {-kMenuWidth, 0}},
                      PlacementCase{{400, 300}, MenuAlignBottom, {0, -kMenuHeight}},
                      PlacementCase{{400, 300}, MenuAlignRight | MenuAlignBottom, {-kMenuWidth, -kMenuHeight}}));

// The tray menu opens near the screen's right and bottom edges.
TEST(RootMenu, OpenedNearTheScreenEdgeMovesInsideTheWorkArea) {
    MenuHost host;
    const RECT work = WorkArea(POINT{0, 0});
    auto menu = host.Open(POINT{work.right - 10, work.bottom - 10});
    const RECT rc = WindowRect(*menu);
    EXPECT_EQ(work.right, rc.right);
    EXPECT_EQ(work.bottom, rc.bottom);
    EXPECT_EQ(kMenuWidth, rc.right - rc.left);
}

struct SubMenuCase {
    LONG fromRight;  // the root menu's left edge, from the work area's right
    bool atBottom;   // the root menu's bottom at the work area's bottom
    bool leftOfParent;
};

class SubMenuPlacement : public ::testing::TestWithParam<SubMenuCase> {};

// Where there is no room below, a sub-menu opens upwards, its bottom at its
// element's top.
TEST_P(SubMenuPlacement, OpensBesideItsElementOnTheScreen) {
    const SubMenuCase c = GetParam();
    MenuHost host;
    const RECT work = WorkArea(POINT{0, 0});
    auto menu = host.Open(POINT{work.right - c.fromRight, c.atBottom ? work.bottom : 200},
                          c.atBottom ? MenuAlignBottom : MenuAlignLeft | MenuAlignTop, nullptr,
                          MenuSkin(L"<MenuElement name=\"quit\" text=\"Quit\">"
                                   L"<MenuElement name=\"quit1\" text=\"Now\"/>"
                                   L"<MenuElement name=\"quit2\" text=\"Later\"/></MenuElement>"));
    CControlUI* quit = Element(*menu, L"quit");
    HoverControl(quit);
    ASSERT_TRUE(WaitForWindowCount(kMenuWindow, 2));
    CControlUI* quit1 = Element(*menu, L"quit1");
    ASSERT_NE(menu->GetManager(), quit1->GetManager());
    const RECT sub = WindowRect(quit1->GetManager()->GetPaintWindow());
    const RECT parent = WindowRect(*menu);
    EXPECT_EQ(60, sub.bottom - sub.top);
    EXPECT_EQ(ScreenRect(quit).top, c.atBottom ? sub.bottom : sub.top);
    if (c.leftOfParent) {
        EXPECT_EQ(parent.left, sub.right);
    } else {
        EXPECT_EQ(parent.right, sub.left);
    }
    EXPECT_LE(sub.right, work.right);
    EXPECT_LE(sub.bottom, work.bottom);
}

INSTANTIATE_TEST_SUITE_P(Edges, SubMenuPlacement,
                         ::testing::Values(SubMenuCase{600, false, false}, SubMenuCase{kMenuWidth + 20, false, true},
                                           SubMenuCase{600, true, false}));

TEST(SubMenu, OpensOnHoverAndClosesForASiblingOrEscapeOnly) {
    MenuHost host;
    auto menu = host.Open(POINT{300, 200});
    CControlUI* beta = Element(*menu, L"beta");
    CControlUI* beta1 = Element(*menu, L"beta1");
    EXPECT_FALSE(beta1->IsVisible()) << "sub-items never show in the parent menu";

    const struct {
        const wchar_t* step;
        size_t windows;
    } steps[] = {{L"hover beta", 2}, {L"hover alpha", 1}, {L"right arrow on beta", 2}, {L"escape", 1},
                 {L"hover beta", 2}, {L"right click", 2}, {L"left arrow", 1}};
    for (const auto& s : steps) {
        const std::wstring step = s.step;
        const HWND sub = beta1->GetManager() != menu->GetManager() ? beta1->GetManager()->GetPaintWindow() : nullptr;
        if (step == L"hover beta") HoverControl(beta);
        if (step == L"hover alpha") HoverControl(Element(*menu, L"alpha"));
        if (step == L"right arrow on beta") {
            beta->SetFocus();
            SendMessageW(*menu, WM_KEYDOWN, VK_RIGHT, 1);
        }
        if (step == L"escape") SendMessageW(sub, WM_KEYDOWN, VK_ESCAPE, 1);
        if (step == L"left arrow") SendMessageW(sub, WM_KEYDOWN, VK_LEFT, 1);
        if (step == L"right click") {
            SendMessageW(sub, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
            SendMessageW(sub, WM_RBUTTONUP, 0, MAKELPARAM(5, 5));
        }
        ASSERT_TRUE(WaitForWindowCount(kMenuWindow, s.windows)) << Narrow(step);
        EXPECT_TRUE(IsWindow(*menu)) << "the root menu stays open: " << Narrow(step);
        if (s.windows == 1) {
            EXPECT_EQ(beta, beta1->GetParent()) << "sub-items go back to their element";
            EXPECT_EQ(menu->GetManager(), beta1->GetManager());
            EXPECT_FALSE(beta1->IsVisible());
        } else {
            EXPECT_TRUE(beta1->IsVisible());
        }
    }
}

// A row paints its own children inside its inset, as any container does,
// and never its sub-items, which show in the sub-menu's window.
TEST(MenuRow, PaintsItsChildrenInsideItsInsetAndNotItsSubItems) {
    MenuHost host;
    auto menu = host.Open(POINT{300, 200}, MenuAlignLeft | MenuAlignTop, nullptr,
                          L"<Window><Menu bkcolor=\"#FFFFFFFF\"><MenuElement name=\"wide\" inset=\"0,0,40,0\">"
                          L"<Control width=\"130\" height=\"10\" bkcolor=\"#FFFF0000\"/></MenuElement>"
                          L"<MenuElement name=\"more\" text=\"More\"><MenuElement text=\"One\"/><MenuElement>"
                          L"<Control name=\"blue\" height=\"10\" bkcolor=\"#FF0000FF\"/></MenuElement></MenuElement>"
                          L"</Menu></Window>");
    const RECT wide = Element(*menu, L"wide")->GetPos();
    const int y = wide.top + 5;  // on the child, 10 high
    PrintedClient shot = PrintClient(*menu);
    EXPECT_EQ(0xFF0000u, shot.At(wide.right - 50, y));
    EXPECT_EQ(0xFFFFFFu, shot.At(wide.right - 30, y)) << "the child overflows into the inset";

    CControlUI* more = Element(*menu, L"more");
    CControlUI* blue = Element(*menu, L"blue");
    HoverControl(more);
    ASSERT_TRUE(PumpUntil([&] { return blue->GetManager() != menu->GetManager() && !IsRectEmpty(&blue->GetPos()); }));
    const RECT row = more->GetPos();
    RECT overlap;
    ASSERT_TRUE(IntersectRect(&overlap, &row, &blue->GetPos())) << "the sub-item lies where the row is";
    shot = PrintClient(*menu);
    EXPECT_NE(0x0000FFu, shot.At((overlap.left + overlap.right) / 2, (overlap.top + overlap.bottom) / 2));
}

// A check item shows its icon only while its record says checked. The skin's
// "ischeck" makes the first record, a click toggles it, and at the next
// opening the record wins over the skin.
TEST(MenuCheckItem, ShowsItsIconOnlyWhileChecked) {
    UseWorkFolder();
    MakeImage("tick.png", {"-size", "10x10", "xc:#00A000"});
    constexpr DWORD kTick = 0x00A000;
    const std::wstring icon = L"icon=\"tick.png\" iconsize=\"10,10\"";
    const std::wstring skin = MenuSkin(
        L"<MenuElement name=\"pin\" text=\"Pin\" checkitem=\"true\" ischeck=\"true\" " + icon + L"/>"
        L"<MenuElement name=\"mute\" text=\"Mute\" checkitem=\"true\" ischeck=\"false\" " + icon + L"/>"
        L"<MenuElement name=\"help\" text=\"Help\" " + icon + L"/>");
    const struct {
        const wchar_t* clickAfter;
        bool pin;
        bool mute;
    } openings[] = {{L"pin", true, false}, {L"mute", false, false}, {nullptr, false, true}};

    MenuHost host;
    CommandCatcher catcher;
    host.manager.AddMessageFilter(&catcher);
    MenuCheckMap checks;
    for (const auto& opening : openings) {
        auto menu = host.Open(POINT{300, 200}, MenuAlignLeft | MenuAlignTop, &checks, skin);
        const PrintedClient shot = PrintClient(*menu);
        for (const auto& [name, checked] : {std::pair{L"pin", opening.pin}, {L"mute", opening.mute}, {L"help", true}}) {
            const RECT& rc = Element(*menu, name)->GetPos();
            EXPECT_EQ(checked, shot.At(rc.left + 15, rc.top + 15) == kTick) << Narrow(name);
        }
        if (!opening.clickAfter) continue;
        ClickControl(Element(*menu, opening.clickAfter));
        ASSERT_TRUE(WaitForWindowCount(kMenuWindow, 0));
    }
    ASSERT_TRUE(PumpUntil([&] { return catcher.records.size() == 2; }));
    EXPECT_EQ(0, catcher.records[0].checked);
    EXPECT_EQ(1, catcher.records[1].checked);
    CMenuWnd::DestroyMenu();
    host.manager.RemoveMessageFilter(&catcher);
}

struct RecordCase {
    std::wstring name;
    std::wstring text;
    std::wstring userData;
    size_t nameLength;  // what the record keeps
    size_t textLength;
    size_t userDataLength;
};

class MenuCommand : public ::testing::TestWithParam<RecordCase> {};

// The record's fields are fixed: longer names and texts are cut to fit, never
// written past, and a character is never split in two.
TEST_P(MenuCommand, PostsTheElementsRecordToTheMainWindowAndClosesEveryMenu) {
    const RecordCase c = GetParam();
    MenuHost host;
    CommandCatcher catcher;
    host.manager.AddMessageFilter(&catcher);
    MenuCheckMap checks;
    auto menu = host.Open(POINT{300, 200}, MenuAlignLeft | MenuAlignTop, &checks,
                          MenuSkin(L"<MenuElement name=\"" + c.name + L"\" text=\"" + c.text + L"\" userdata=\"" +
                                   c.userData + L"\"/>"));
    ClickControl(Element(*menu, c.name.c_str()));
    ASSERT_TRUE(PumpUntil([&] { return !catcher.records.empty(); }));
    ASSERT_TRUE(WaitForWindowCount(kMenuWindow, 0));
    const MenuCommandRecord& record = catcher.records[0];
    EXPECT_EQ(c.name.substr(0, c.nameLength), record.name);
    EXPECT_EQ(c.text.substr(0, c.textLength), record.text);
    EXPECT_EQ(c.userData.substr(0, c.userDataLength), record.userData);
    EXPECT_EQ(1, record.checked) << "a command toggles its check record";
    EXPECT_EQ(1, checks.GetSize());
    CMenuWnd::DestroyMenu();
    EXPECT_EQ(0, checks.GetSize());
    host.manager.RemoveMessageFilter(&catcher);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, MenuCommand,
    ::testing::Values(RecordCase{L"quit", L"Quit", L"bye", 4, 4, 3},
                      RecordCase{std::wstring(300, L'n'), std::wstring(1100, L't'), std::wstring(2000, L'u'), 255,
                                 1023, 1023},
                      RecordCase{std::wstring(254, L'n') + L"\U0001F600", L"Smile", L"", 254, 5, 0}));

TEST(RootMenu, DeletedWithItsWindowOpenDestroysTheWindowAndLeavesTheObserver) {
    MenuHost host;
    auto menu = host.Open(POINT{300, 200});
    const HWND window = *menu;
    menu.reset();
    EXPECT_FALSE(IsWindow(window));
    MenuObserverImpl::Iterator it(GetMenuObserver());
    EXPECT_EQ(nullptr, it.next());
}

TEST(MenuObserver, ForgetsAMainWindowThatIsGone) {
    std::unique_ptr<CMenuWnd> menu;
    {
        MenuHost host;
        menu = host.Open(POINT{300, 200});
        EXPECT_EQ(&host.manager, GetMenuObserver().GetManager());
    }
    EXPECT_EQ(nullptr, GetMenuObserver().GetManager());
    EXPECT_FALSE(IsWindow(*menu)) << "the menu went with the window that owned it";
    MenuObserverImpl::Iterator it(GetMenuObserver());
    EXPECT_EQ(nullptr, it.next());
}

}  // namespace
}  // namespace kvtest
