// A field destroyed while its native window is open: the window closes and
// nothing it receives afterwards reaches the gone field.
#include <gtest/gtest.h>

#include "controls/edit/EditKit.h"

namespace kvtest {
namespace {

struct FieldCase {
    const wchar_t* skin;
    const wchar_t* nativeClass;
};

class NativeWindowLifetime : public ::testing::TestWithParam<FieldCase> {};

TEST_P(NativeWindowLifetime, ClosesWhenItsFieldIsDestroyed) {
    FieldHost host(GetParam().skin);
    const HWND native = host.Open(GetParam().nativeClass);
    ASSERT_NE(nullptr, native);
    host.notes.Clear();
    DestroyField(host);
    // Input that reaches the window before it closes.
    SendMessageW(native, WM_CHAR, L'7', 1);
    SendMessageW(native, WM_KEYDOWN, VK_RETURN, 1);
    host.Find<CControlUI>(L"other")->SetFocus();
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(native); }));
    EXPECT_EQ(std::vector<std::wstring>{}, host.notes.Types());
}

INSTANTIATE_TEST_SUITE_P(
    Fields, NativeWindowLifetime,
    ::testing::Values(FieldCase{L"<Edit name=\"field\" height=\"26\"/>", L"EditWnd"},
                      FieldCase{L"<HotKey name=\"field\" height=\"26\"/>", L"HotKeyClass"},
                      FieldCase{L"<IPAddress name=\"field\" height=\"26\" width=\"200\"/>", L"IPAddressWnd"},
                      FieldCase{L"<DateTime name=\"field\" height=\"26\" width=\"200\"/>", L"DateTimeWnd"}));

}  // namespace
}  // namespace kvtest
