// The edit field over its native edit window: typing, limits, selection,
// clipboard, masking and the notifications a user's keys cause.
#include <gtest/gtest.h>

#include "controls/edit/EditKit.h"

namespace kvtest {
namespace {

constexpr LPCTSTR kEdit = L"EditWnd";

std::wstring EditSkin(const std::wstring& attributes, const std::wstring& name = L"field") {
    return L"<Edit name=\"" + name + L"\" font=\"0\" height=\"26\" " + attributes + L"/>";
}

TEST(Edit, TypingIsCopiedBackWithOneTextChangedPerKeystroke) {
    FieldHost host(EditSkin(L""));
    const HWND native = host.Open(kEdit);
    ASSERT_NE(nullptr, native);
    Type(native, L"ab猫");
    EXPECT_EQ(L"ab猫", TextOf(host.Field()));
    EXPECT_EQ(3, host.notes.Count(L"textchanged"));
    EXPECT_EQ(host.Field(), host.notes.Last(L"textchanged")->sender);
}

TEST(Edit, EnterSendsReturnAndInsertsNothing) {
    FieldHost host(EditSkin(L"text=\"dog\""));
    const HWND native = host.Open(kEdit);
    ASSERT_NE(nullptr, native);
    host.notes.Clear();
    SendMessageW(native, WM_KEYDOWN, VK_RETURN, 1);
    SendMessageW(native, WM_CHAR, L'\r', 1);
    EXPECT_EQ(std::vector<std::wstring>{L"return"}, host.notes.Types());
    EXPECT_EQ(L"dog", TextOf(host.Field()));
}

struct KeyCase {
    const wchar_t* attributes;
    const wchar_t* typed;
    const wchar_t* expected;
};

class EditTyping : public ::testing::TestWithParam<KeyCase> {};

TEST_P(EditTyping, KeepsWhatTheFieldAllows) {
    FieldHost host(EditSkin(GetParam().attributes));
    const HWND native = host.Open(kEdit);
    ASSERT_NE(nullptr, native);
    Type(native, GetParam().typed);
    EXPECT_EQ(GetParam().expected, TextOf(host.Field()));
    EXPECT_EQ(GetParam().expected, WindowText(native));
}

INSTANTIATE_TEST_SUITE_P(
    Limits, EditTyping,
    ::testing::Values(KeyCase{L"maxchar=\"5\"", L"1234567", L"12345"},
                      KeyCase{L"text=\"abc\" readonly=\"true\"", L"xyz", L"abc"},
                      KeyCase{L"numberonly=\"true\"", L"1a2b3", L"123"},
                      KeyCase{L"password=\"true\"", L"secret", L"secret"}));

TEST(Edit, TypingPastTheDefaultLimitOf255IsRefused) {
    FieldHost host(EditSkin(L""));
    const HWND native = host.Open(kEdit);
    ASSERT_NE(nullptr, native);
    Type(native, std::wstring(300, L'x'));
    EXPECT_EQ(255, host.Field()->GetText().GetLength());
}

struct SelectionCase {
    const wchar_t* attributes;
    DWORD start;
    DWORD end;
};

class EditSelection : public ::testing::TestWithParam<SelectionCase> {};

TEST_P(EditSelection, OpensWithTheCaretAtTheEndOrAllSelected) {
    FieldHost host(EditSkin(std::wstring(L"text=\"pet shop\" ") + GetParam().attributes));
    const HWND native = host.Open(kEdit);
    ASSERT_NE(nullptr, native);
    DWORD start = 99;
    DWORD end = 99;
    SendMessageW(native, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(GetParam().start, start);
    EXPECT_EQ(GetParam().end, end);
}

// The option's name and value are exact: other spellings leave it off.
INSTANTIATE_TEST_SUITE_P(Options, EditSelection,
                         ::testing::Values(SelectionCase{L"", 8, 8}, SelectionCase{L"autoselall=\"true\"", 0, 8},
                                           SelectionCase{L"AutoSelAll=\"true\"", 8, 8},
                                           SelectionCase{L"autoselall=\"TRUE\"", 8, 8}));

std::wstring ClipboardText() {
    std::wstring text;
    if (!OpenClipboard(nullptr)) return text;
    if (const HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* p = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = p;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

TEST(Edit, CutCopyAndPasteGoThroughTheClipboard) {
    FieldHost host(EditSkin(L"text=\"pet shop\""));
    const HWND native = host.Open(kEdit);
    ASSERT_NE(nullptr, native);
    SendMessageW(native, EM_SETSEL, 0, 3);
    SendMessageW(native, WM_COPY, 0, 0);
    EXPECT_EQ(L"pet", ClipboardText());
    SendMessageW(native, EM_SETSEL, 4, 8);
    SendMessageW(native, WM_CUT, 0, 0);
    EXPECT_EQ(L"shop", ClipboardText());
    EXPECT_EQ(L"pet ", TextOf(host.Field()));
    SendMessageW(native, EM_SETSEL, 0, 0);
    SendMessageW(native, WM_PASTE, 0, 0);
    EXPECT_EQ(L"shoppet ", TextOf(host.Field()));
}

// A masked field paints exactly what a plain field holding the mask paints.
struct MaskCase {
    const wchar_t* masked;
    const wchar_t* plain;
};

class EditMask : public ::testing::TestWithParam<MaskCase> {};

TEST_P(EditMask, PaintsOneMaskCharacterPerCharacter) {
    FieldHost host(EditSkin(GetParam().masked) + EditSkin(GetParam().plain, L"plain"));
    ASSERT_TRUE(host.Paint());
    const auto masked = PixelsOf(host, host.Field());
    EXPECT_EQ(PixelsOf(host, host.Find<CControlUI>(L"plain")), masked);
    EXPECT_LT(CountColour(host, host.Field(), 0xFFFFFF), static_cast<int>(masked.size())) << "something shows";
}

INSTANTIATE_TEST_SUITE_P(
    Forms, EditMask,
    ::testing::Values(MaskCase{L"password=\"true\" text=\"abc\"", L"text=\"***\""},
                      MaskCase{L"password=\"true\" passwordchar=\"#\" text=\"猫狗\"", L"text=\"##\""},
                      // An empty mask character keeps the mask it had.
                      MaskCase{L"password=\"true\" passwordchar=\"\" text=\"abc\"", L"text=\"***\""},
                      // A password that equals the tip text is still a password.
                      MaskCase{L"password=\"true\" tipvalue=\"abc\" text=\"abc\"", L"text=\"***\""}));

TEST(Edit, TheNativeWindowMasksTooAndAnEmptyMaskCharacterCannotUnmaskIt) {
    FieldHost host(EditSkin(L"password=\"true\" passwordchar=\"\" text=\"abc\""));
    const HWND native = host.Open(kEdit);
    ASSERT_NE(nullptr, native);
    EXPECT_EQ(L'*', SendMessageW(native, EM_GETPASSWORDCHAR, 0, 0));
    host.Field<CEditUI>()->SetPasswordChar(0);
    EXPECT_EQ(L'*', SendMessageW(native, EM_GETPASSWORDCHAR, 0, 0));
    host.Field<CEditUI>()->SetPasswordMode(false);
    EXPECT_EQ(0, SendMessageW(native, EM_GETPASSWORDCHAR, 0, 0));
    host.Field<CEditUI>()->SetPasswordMode(true);
    EXPECT_EQ(L'*', SendMessageW(native, EM_GETPASSWORDCHAR, 0, 0)) << "masking turned on while open";
}

struct TipCase {
    const wchar_t* attributes;
    DWORD colour;
};

class EditTip : public ::testing::TestWithParam<TipCase> {};

TEST_P(EditTip, ShowsTheTipInItsColourWhileEmptyOrEqualToIt) {
    FieldHost host(EditSkin(GetParam().attributes));
    ASSERT_TRUE(host.Paint());
    EXPECT_GT(CountColour(host, host.Field(), GetParam().colour), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Colours, EditTip,
    ::testing::Values(TipCase{L"tipvalue=\"name\"", 0xBAC0C5},
                      TipCase{L"tipvalue=\"name\" tipvaluecolor=\"#FF00A000\"", 0x00A000},
                      TipCase{L"tipvalue=\"name\" text=\"name\"", 0xBAC0C5},
                      TipCase{L"tipvalue=\"name\" password=\"true\"", 0xBAC0C5}));

TEST(Edit, TheNativeWindowLiesOverTheTextAreaAndClosesWhenTheFocusLeaves) {
    FieldHost host(EditSkin(L"text=\"over\""));
    const HWND native = host.Open(kEdit);
    ASSERT_NE(nullptr, native);
    RECT rc = {};
    GetWindowRect(native, &rc);
    MapWindowPoints(nullptr, host.GetHWND(), reinterpret_cast<POINT*>(&rc), 2);
    const RECT& pos = host.Field()->GetPos();
    EXPECT_EQ(pos.left + 4, rc.left);
    EXPECT_EQ(pos.right - 4, rc.right);
    EXPECT_LE(pos.top + 3, rc.top);
    EXPECT_GE(pos.bottom - 3, rc.bottom);
    EXPECT_TRUE(host.Leave(kEdit));
    EXPECT_EQ(L"over", TextOf(host.Field()));
}

TEST(Edit, AFieldScrolledOutOfItsContainerOpensWithAnEmptyRectangle) {
    FieldHost host(L"<HorizontalLayout height=\"26\" width=\"20\"><Control width=\"40\"/>" + EditSkin(L"width=\"80\"") +
                   L"</HorizontalLayout>");
    const HWND native = host.Open(kEdit);
    ASSERT_NE(nullptr, native);
    RECT rc = {};
    GetWindowRect(native, &rc);
    EXPECT_TRUE(IsRectEmpty(&rc));
}

}  // namespace
}  // namespace kvtest
