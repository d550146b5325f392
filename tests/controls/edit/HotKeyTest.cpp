// The hot-key field over the system hot-key control: combinations set and
// read back, their readable names, and the native control's own lifetime.
#include <gtest/gtest.h>

#include "controls/edit/EditKit.h"

namespace kvtest {
namespace {

constexpr LPCTSTR kHotKey = L"HotKeyClass";
const std::wstring kField = L"<HotKey name=\"field\" font=\"0\" height=\"26\"/>";

std::wstring LayoutName(UINT scanCode, bool extended) {
    wchar_t name[64] = {};
    GetKeyNameTextW(static_cast<LONG>((scanCode << 16) | (extended ? 1u << 24 : 0u)), name, 64);
    return name;
}

// The layout's names of `keys`, joined as the field joins them.
std::wstring Joined(std::initializer_list<UINT> keys) {
    std::wstring joined;
    for (UINT key : keys) {
        if (!joined.empty()) joined += L" + ";
        joined += LayoutName(MapVirtualKeyW(key, MAPVK_VK_TO_VSC), false);
    }
    return joined;
}

WORD ReadBack(HWND native) { return static_cast<WORD>(SendMessageW(native, HKM_GETHOTKEY, 0, 0)); }

TEST(HotKey, ASetCombinationReachesTheNativeControlAndShowsItsName) {
    FieldHost host(kField);
    host.Field<CHotKeyUI>()->SetHotKey('K', HOTKEYF_CONTROL | HOTKEYF_ALT);
    EXPECT_EQ(Joined({VK_CONTROL, VK_MENU, 'K'}), TextOf(host.Field()));
    const HWND native = host.Open(kHotKey);
    ASSERT_NE(nullptr, native);
    EXPECT_EQ(MAKEWORD('K', HOTKEYF_CONTROL | HOTKEYF_ALT), ReadBack(native));
    host.Field<CHotKeyUI>()->SetHotKey(VK_F5, 0);
    EXPECT_EQ(MAKEWORD(VK_F5, 0), ReadBack(native));
}

TEST(HotKey, KeysPressedInTheNativeControlBecomeTheCombination) {
    FieldHost host(kField);
    const HWND native = host.Open(kHotKey);
    ASSERT_NE(nullptr, native);
    host.notes.Clear();
    for (WPARAM key : {WPARAM{VK_CONTROL}, WPARAM{VK_SHIFT}, WPARAM{'A'}}) SendMessageW(native, WM_KEYDOWN, key, 1);
    WORD key = 0;
    WORD modifiers = 0;
    host.Field<CHotKeyUI>()->GetHotKey(key, modifiers);
    EXPECT_EQ('A', key);
    EXPECT_EQ(HOTKEYF_CONTROL | HOTKEYF_SHIFT, modifiers);
    EXPECT_EQ(Joined({VK_CONTROL, VK_SHIFT, 'A'}), TextOf(host.Field()));
    EXPECT_GT(host.notes.Count(L"textchanged"), 0);

    // A modifier alone leaves no combination: the field empties and still says so.
    host.notes.Clear();
    SendMessageW(native, WM_KEYDOWN, VK_MENU, 1);
    host.Field<CHotKeyUI>()->GetHotKey(key, modifiers);
    EXPECT_EQ(0, key);
    EXPECT_EQ(0, modifiers);
    EXPECT_EQ(L"", TextOf(host.Field()));
    EXPECT_EQ(1, host.notes.Count(L"textchanged"));
}

TEST(HotKey, EnterSendsReturnAndKeepsTheCombination) {
    FieldHost host(kField);
    host.Field<CHotKeyUI>()->SetHotKey('Q', HOTKEYF_CONTROL);
    const HWND native = host.Open(kHotKey);
    ASSERT_NE(nullptr, native);
    host.notes.Clear();
    SendMessageW(native, WM_KEYDOWN, VK_RETURN, 1);
    EXPECT_EQ(std::vector<std::wstring>{L"return"}, host.notes.Types());
    EXPECT_EQ(MAKEWORD('Q', HOTKEYF_CONTROL), ReadBack(native));
    EXPECT_EQ(Joined({VK_CONTROL, 'Q'}), TextOf(host.Field()));
}

TEST(HotKey, LosingTheFocusClosesTheNativeControlAfterItsHandlerReturned) {
    FieldHost host(kField);
    const HWND native = host.Open(kHotKey);
    ASSERT_NE(nullptr, native);
    host.Find<CControlUI>(L"other")->SetFocus();
    EXPECT_TRUE(IsWindow(native)) << "closed from inside its own kill-focus handler";
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(native); }));
}

// The navigation keys share their scan codes with the numeric keypad.
class HotKeyNames : public ::testing::TestWithParam<UINT> {};

TEST_P(HotKeyNames, NavigationKeysAreNamedAsExtendedKeys) {
    const UINT key = GetParam();
    const UINT scanCode = MapVirtualKeyW(key, MAPVK_VK_TO_VSC);
    const std::wstring name = CHotKeyUI::NameOf(static_cast<WORD>(key), 0).GetData();
    EXPECT_EQ(LayoutName(scanCode, true), name);
    EXPECT_NE(LayoutName(scanCode, false), name) << "the keypad twin";
}

INSTANTIATE_TEST_SUITE_P(Keys, HotKeyNames,
                         ::testing::Values(VK_PRIOR, VK_NEXT, VK_END, VK_HOME, VK_LEFT, VK_UP, VK_RIGHT, VK_DOWN,
                                           VK_INSERT, VK_DELETE));

}  // namespace
}  // namespace kvtest
