// A demo of the pop-ups: an open combo box with its drop-down under it, then
// a context menu with its sub-menu open (opening the menu takes the focus, so
// the drop-down closes first). With KV_POPUP_SCREENSHOT set to a Unix path
// prefix it photographs the screen at both moments for a person to look at.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "lists/popup/PopupKit.h"

namespace kvtest {
namespace {

// Waits until every pop-up has painted, then photographs the screen.
void Photograph(const char* suffix) {
    ASSERT_TRUE(PumpUntil([] {
        for (LPCTSTR kind : {L"KvUIMenuWnd", L"ComboWnd"}) {
            for (HWND window : ThreadWindows(kind)) {
                RECT dirty;
                if (GetUpdateRect(window, &dirty, FALSE)) return false;
            }
        }
        return true;
    }));
    if (const char* prefix = std::getenv("KV_POPUP_SCREENSHOT")) {
        EXPECT_EQ(0, RunUnix({"import", "-window", "root", std::string(prefix) + suffix}));
    }
}

std::wstring ComboSkin() {
    std::wstring combo = L"<Combo name=\"combo\" width=\"220\" height=\"26\" padding=\"20,20,0,0\" bkcolor=\"#FFF4F7FB\" "
                         L"bordersize=\"1\" bordercolor=\"#FF8090A0\" textpadding=\"8,0,8,0\" "
                         L"itemtextpadding=\"8,0,0,0\" itemhotbkcolor=\"#FFDCEBFA\" itemselectedbkcolor=\"#FF2F6FD0\" "
                         L"itemselectedtextcolor=\"#FFFFFFFF\">";
    for (const wchar_t* line : {L"Line one (main)", L"Line two (backup)", L"Line three (test)"}) {
        combo += L"<ListLabelElement text=\"" + std::wstring(line) + L"\" height=\"24\"/>";
    }
    return Skin(combo + L"</Combo>");
}

// Styled as the client's tray menu: a "Menu" default entry styles the root
// menu and every sub-menu alike.
const wchar_t kMenuSkin[] =
    L"<Window><Default name=\"Menu\" value=\"bkcolor=&quot;#FFFFFFFF&quot; bordersize=&quot;1&quot; "
    L"bordercolor=&quot;#FF8090A0&quot; itemtextpadding=&quot;30,0,0,0&quot; itemhotbkcolor=&quot;#FFDCEBFA&quot; "
    L"itemselectedbkcolor=&quot;#FFDCEBFA&quot;\"/>"
    L"<Menu><MenuElement name=\"show\" text=\"Hide window\" height=\"25\" width=\"140\"/>"
    L"<MenuElement name=\"zoom\" text=\"Zoom\" height=\"25\" width=\"140\">"
    L"<MenuElement name=\"z100\" text=\"100%\" height=\"25\" width=\"120\"/>"
    L"<MenuElement name=\"z125\" text=\"125%\" height=\"25\" width=\"120\"/></MenuElement>"
    L"<MenuElement linetype=\"true\"/><MenuElement name=\"quit\" text=\"Quit\" height=\"25\" width=\"140\"/>"
    L"</Menu></Window>";

TEST(PopupDemo, ShowsAnOpenComboThenAMenuWithItsSubMenu) {
    Host host(320, 240);
    host.Build(ComboSkin());
    auto* box = host.Find<CComboUI>(L"combo");
    box->SelectItem(1);
    host.Click(Centre(box).x, Centre(box).y);
    ASSERT_EQ(1u, ThreadWindows(L"ComboWnd").size());
    ASSERT_TRUE(WaitLaidOut(box->GetItemAt(0)));
    EXPECT_EQ(ScreenRect(box).bottom + 3, WindowRect(ThreadWindows(L"ComboWnd")[0]).top);
    Photograph("-combo.png");

    auto menu = std::make_unique<CMenuWnd>();
    ASSERT_TRUE(menu->Init(nullptr, kMenuSkin, POINT{420, 80}, &host.manager));
    CControlUI* zoom = menu->GetManager()->FindControl(L"zoom");
    ASSERT_TRUE(WaitLaidOut(zoom));
    HoverControl(zoom);
    ASSERT_TRUE(PumpUntil([] { return ThreadWindows(L"KvUIMenuWnd").size() == 2; }));
    CControlUI* z100 = menu->GetManager()->FindControl(L"z100");
    EXPECT_EQ(WindowRect(*menu).right, WindowRect(z100->GetManager()->GetPaintWindow()).left);
    Photograph("-menu.png");

    for (HWND window : ThreadWindows(L"KvUIMenuWnd")) DestroyWindow(window);
    for (HWND window : ThreadWindows(L"ComboWnd")) DestroyWindow(window);
}

}  // namespace
}  // namespace kvtest
