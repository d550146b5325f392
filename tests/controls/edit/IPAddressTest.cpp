// The IP address fields: the one over the system IP address control, and the
// one the library draws and edits itself.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <utility>
#include <vector>

#include "controls/edit/EditKit.h"

namespace kvtest {
namespace {

constexpr LPCTSTR kIPAddress = L"IPAddressWnd";
const std::wstring kField = L"<IPAddress name=\"field\" font=\"0\" height=\"26\" width=\"200\"/>";

DWORD ReadBack(HWND native) {
    DWORD address = 0;
    SendMessageW(native, IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&address));
    return address;
}

HWND FirstField(HWND native) { return GetWindow(native, GW_CHILD); }

TEST(IPAddress, IsItsOwnClassAndStartsWithThisComputersAddress) {
    FieldHost host(kField);
    CIPAddressUI* field = host.Field<CIPAddressUI>();
    EXPECT_STREQ(L"IPAddressUI", field->GetClass());
    EXPECT_EQ(field, field->GetInterface(L"IPAddress"));
    EXPECT_EQ(nullptr, field->GetInterface(L"ipaddress"));
    const DWORD local = GetLocalIpAddress();
    EXPECT_EQ(local, field->GetIP());
    wchar_t text[16];
    swprintf(text, 16, L"%d.%d.%d.%d", int(local >> 24), int((local >> 16) & 255), int((local >> 8) & 255),
             int(local & 255));
    EXPECT_EQ(text, TextOf(field));
}

TEST(IPAddress, TheAddressGoesIntoTheNativeControlAndComesBackWhenTheFocusLeaves) {
    FieldHost host(kField);
    host.Field<CIPAddressUI>()->SetIP(0xC0A80114);
    const HWND native = host.Open(kIPAddress);
    ASSERT_NE(nullptr, native);
    EXPECT_EQ(0xC0A80114u, ReadBack(native));
    SendMessageW(native, IPM_SETADDRESS, 0, MAKEIPADDRESS(10, 0, 0, 7));
    host.Find<CControlUI>(L"other")->SetFocus();
    EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(native); }));
    EXPECT_EQ(L"10.0.0.7", TextOf(host.Field()));
    EXPECT_EQ(MAKEIPADDRESS(10, 0, 0, 7), host.Field<CIPAddressUI>()->GetIP());
}

TEST(IPAddress, ADoubleClickBringsTheHiddenEditorBackWithTheAddress) {
    FieldHost host(kField);
    host.Field<CIPAddressUI>()->SetIP(MAKEIPADDRESS(10, 1, 2, 3));
    const HWND native = host.Open(kIPAddress);
    ASSERT_NE(nullptr, native);
    host.Find<CControlUI>(L"other")->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return !IsWindowVisible(native); }));
    SendMessageW(native, IPM_CLEARADDRESS, 0, 0);
    // A double click moves no focus: the field is not focused when it comes.
    const RECT& rc = host.Field()->GetPos();
    host.DoubleClick((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(native); }));
    EXPECT_EQ(MAKEIPADDRESS(10, 1, 2, 3), ReadBack(native));
}

// The messages the system IP address control's own procedure gets, in the
// editors made while the spy lives.
class SystemControlSpy {
public:
    SystemControlSpy() {
        s_seen.clear();
        s_real = Swap(&Record);
    }
    SystemControlSpy(const SystemControlSpy&) = delete;
    SystemControlSpy& operator=(const SystemControlSpy&) = delete;
    ~SystemControlSpy() { Swap(s_real); }

    // Where `msg` (with `code` in the high word of wParam, when given) came first; -1 when never.
    static int IndexOf(UINT msg, int code = -1) {
        for (size_t i = 0; i < s_seen.size(); ++i) {
            if (s_seen[i].first == msg && (code < 0 || s_seen[i].second == code)) return static_cast<int>(i);
        }
        return -1;
    }

private:
    // Sets the class procedure that later windows of the class start with; returns the old one.
    static WNDPROC Swap(WNDPROC proc) {
        INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_INTERNET_CLASSES};
        InitCommonControlsEx(&classes);
        const HWND probe = CreateWindowExW(0, WC_IPADDRESSW, nullptr, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                           nullptr, nullptr);
        const LONG_PTR old = SetClassLongPtrW(probe, GCLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
        DestroyWindow(probe);
        return reinterpret_cast<WNDPROC>(old);
    }
    static LRESULT CALLBACK Record(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        s_seen.emplace_back(msg, HIWORD(wParam));
        return CallWindowProcW(s_real, hwnd, msg, wParam, lParam);
    }

    static inline WNDPROC s_real = nullptr;
    static inline std::vector<std::pair<UINT, int>> s_seen;
};

TEST(IPAddress, TheSystemControlTakesItsKillFocusBeforeTheAddressIsRead) {
    const SystemControlSpy spy;
    FieldHost host(kField);
    const HWND native = host.Open(kIPAddress);
    ASSERT_NE(nullptr, native);
    host.Find<CControlUI>(L"other")->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return !IsWindowVisible(native); }));
    const int read = SystemControlSpy::IndexOf(IPM_GETADDRESS);
    ASSERT_GE(read, 0);
    const int killFocus = SystemControlSpy::IndexOf(WM_COMMAND + 0x2000, EN_KILLFOCUS);
    EXPECT_GE(killFocus, 0);
    EXPECT_LT(killFocus, read);
}

TEST(IPAddress, EscapeKeepsTheOldTextAndBackspaceEmptiesIt) {
    for (const auto& [key, expected] : {std::pair<WPARAM, std::wstring>{VK_ESCAPE, L"192.168.1.20"},
                                        std::pair<WPARAM, std::wstring>{VK_BACK, L""}}) {
        FieldHost host(kField);
        host.Field<CIPAddressUI>()->SetIP(MAKEIPADDRESS(192, 168, 1, 20));
        const HWND native = host.Open(kIPAddress);
        ASSERT_NE(nullptr, native);
        SendMessageW(native, IPM_SETADDRESS, 0, MAKEIPADDRESS(1, 2, 3, 4));
        SendMessageW(FirstField(native), WM_KEYDOWN, key, 1);
        SendMessageW(FirstField(native), WM_KEYUP, key, 0xC0000001);
        EXPECT_TRUE(PumpUntil([&] { return !IsWindow(native); })) << "key " << key;
        host.Find<CControlUI>(L"other")->SetFocus();
        EXPECT_EQ(expected, TextOf(host.Field())) << "key " << key;
    }
}

// The self-drawn field: keys go through the window to the focused field.
struct KeysCase {
    int field;  // clicked first, 1 to 4
    std::vector<WPARAM> keys;
    const wchar_t* expected;
};

class IPAddressExKeys : public ::testing::TestWithParam<KeysCase> {};

TEST_P(IPAddressExKeys, EditTheFieldsAsTyped) {
    FieldHost host(L"<IPAddressEx name=\"field\" font=\"0\" height=\"26\" width=\"200\"/>");
    auto* field = host.Field<CIPAddressExUI>();
    field->SetIP(0);
    const RECT& rc = field->GetPos();
    const int quarter = (rc.right - rc.left) / 4;
    host.Click(rc.left + quarter * (GetParam().field - 1) + quarter / 2, (rc.top + rc.bottom) / 2);
    for (WPARAM key : GetParam().keys) host.Key(key);
    EXPECT_EQ(GetParam().expected, TextOf(field));
    EXPECT_EQ(nullptr, host.Native(L"EditWnd")) << "no native window";
}

INSTANTIATE_TEST_SUITE_P(
    Keys, IPAddressExKeys,
    ::testing::Values(
        // Three digits move on to the next field by themselves.
        KeysCase{1, {'1', '9', '2', '1', '6', '8'}, L"192.168.0.0"},
        KeysCase{2, {'3', '0', '0'}, L"0.255.0.0"},
        KeysCase{1, {VK_NUMPAD7, VK_RIGHT, '5', VK_OEM_PERIOD, '6', VK_LEFT, VK_BACK}, L"7.0.6.0"},
        KeysCase{4, {VK_OEM_PERIOD, '9'}, L"0.0.0.9"},
        // The last field takes three digits like the others; a fourth starts it again.
        KeysCase{4, {'2', '5', '5', '1', '2', '3', '4'}, L"0.0.0.4"},
        KeysCase{3, {VK_DOWN, VK_UP, VK_UP}, L"0.0.2.0"}));

TEST(IPAddressEx, TheWheelStaysWithinAnOctet) {
    FieldHost host(L"<IPAddressEx name=\"field\" font=\"0\" height=\"26\" width=\"200\"/>");
    auto* field = host.Field<CIPAddressExUI>();
    field->SetIP(MAKEIPADDRESS(255, 0, 0, 0));
    const RECT& rc = field->GetPos();
    const int y = (rc.top + rc.bottom) / 2;
    host.Click(rc.left + 5, y);
    host.Wheel(rc.left + 5, y, WHEEL_DELTA);
    host.Click(rc.right - 5, y);
    host.Wheel(rc.right - 5, y, -WHEEL_DELTA);
    EXPECT_EQ(L"255.0.0.0", TextOf(field));
}

// An address of zeros with no field chosen shows only its three dots: each in
// the quarter it begins, aligned as the field's text is within the rest of the line.
struct DotsCase {
    const wchar_t* align;
    // Where dot `i` (1 to 3) lies, from the text's left and right and a quarter of its width.
    int (*centre)(int i, int left, int right, int quarter);
};

void PrintTo(const DotsCase& c, std::ostream* os) { *os << Narrow(c.align); }

class IPAddressExDots : public ::testing::TestWithParam<DotsCase> {};

TEST_P(IPAddressExDots, KeepTheFieldsAlignment) {
    FieldHost host(L"<IPAddressEx name=\"field\" font=\"0\" height=\"26\" width=\"200\" align=\"" +
                   std::wstring(GetParam().align) + L"\"/>");
    auto* field = host.Field<CIPAddressExUI>();
    field->SetIP(0);
    ASSERT_TRUE(host.Paint());
    const RECT& rc = field->GetPos();
    const RECT padding = field->GetTextPadding();
    const int left = rc.left + padding.left;
    const int right = rc.right - padding.right;
    std::vector<int> centres;
    for (int i = 1; i <= 3; ++i) centres.push_back(GetParam().centre(i, left, right, (right - left) / 4));
    const auto closeTo = [](int x, int centre) { return std::abs(x - centre) <= 4; };
    // Columns with ink away from every dot, and dots with no ink near them.
    std::vector<int> stray;
    std::vector<int> missing = centres;
    for (int x = rc.left; x < rc.right; ++x) {
        if (host.CountInColumn(x, rc.top, rc.bottom, 0xFFFFFF) == rc.bottom - rc.top) continue;
        if (std::none_of(centres.begin(), centres.end(), [&](int c) { return closeTo(x, c); })) stray.push_back(x);
        missing.erase(std::remove_if(missing.begin(), missing.end(), [&](int c) { return closeTo(x, c); }),
                      missing.end());
    }
    EXPECT_EQ(std::vector<int>{}, stray);
    EXPECT_EQ(std::vector<int>{}, missing);
}

INSTANTIATE_TEST_SUITE_P(
    Alignments, IPAddressExDots,
    ::testing::Values(DotsCase{L"left", [](int i, int left, int, int quarter) { return left + i * quarter + 1; }},
                      DotsCase{L"center",
                               [](int i, int left, int right, int quarter) { return (left + i * quarter + right) / 2; }},
                      DotsCase{L"right", [](int, int, int right, int) { return right - 2; }}));

}  // namespace
}  // namespace kvtest
