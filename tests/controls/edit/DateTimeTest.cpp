// The date field over the system date and time picker.
#include <gtest/gtest.h>

#include "controls/edit/EditKit.h"

namespace kvtest {
namespace {

constexpr LPCTSTR kPicker = L"DateTimeWnd";
const std::wstring kField = L"<DateTime name=\"field\" font=\"0\" height=\"26\" width=\"200\"/>";

SYSTEMTIME Date(WORD year, WORD month, WORD day) {
    SYSTEMTIME date = {};
    date.wYear = year;
    date.wMonth = month;
    date.wDay = day;
    return date;
}

SYSTEMTIME ReadBack(HWND native) {
    SYSTEMTIME date = {};
    EXPECT_EQ(GDT_VALID, SendMessageW(native, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&date)));
    return date;
}

struct DateCase {
    SYSTEMTIME date;
    const wchar_t* text;
};

class DateTimeRange : public ::testing::TestWithParam<DateCase> {};

TEST_P(DateTimeRange, ADateIsShownAndReachesThePicker) {
    FieldHost host(kField);
    host.Field<CDateTimeUI>()->SetTime(GetParam().date);
    EXPECT_EQ(GetParam().text, TextOf(host.Field()));
    const HWND native = host.Open(kPicker);
    ASSERT_NE(nullptr, native);
    const SYSTEMTIME shown = ReadBack(native);
    EXPECT_EQ(GetParam().date.wYear, shown.wYear);
    EXPECT_EQ(GetParam().date.wMonth, shown.wMonth);
    EXPECT_EQ(GetParam().date.wDay, shown.wDay);
}

INSTANTIATE_TEST_SUITE_P(Dates, DateTimeRange,
                         ::testing::Values(DateCase{Date(1752, 9, 14), L"1752-09-14"},
                                           DateCase{Date(2024, 2, 29), L"2024-02-29"},
                                           DateCase{Date(2000, 1, 1), L"2000-01-01"},
                                           DateCase{Date(9999, 12, 31), L"9999-12-31"}));

TEST(DateTime, AChangeInThePickerIsWrittenBackAndEscapeRestoresTheOldDate) {
    FieldHost host(kField);
    host.Field<CDateTimeUI>()->SetTime(Date(2023, 1, 31));
    const HWND native = host.Open(kPicker);
    ASSERT_NE(nullptr, native);
    // Up on each field in turn: the picker keeps the date valid (31 January
    // one month on is not 31 February) and the field follows every step.
    for (WPARAM key : {VK_HOME, VK_UP, VK_RIGHT, VK_UP, VK_RIGHT, VK_UP, VK_RIGHT, VK_UP}) {
        SendMessageW(native, WM_KEYDOWN, key, 1);
        const SYSTEMTIME shown = ReadBack(native);
        wchar_t text[16];
        swprintf(text, 16, L"%4d-%02d-%02d", shown.wYear, shown.wMonth, shown.wDay);
        EXPECT_EQ(text, TextOf(host.Field()));
    }
    EXPECT_NE(L"2023-01-31", TextOf(host.Field()));
    SendMessageW(native, WM_KEYDOWN, VK_ESCAPE, 1);
    EXPECT_EQ(L"2023-01-31", TextOf(host.Field()));
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(native); }));
}

TEST(DateTime, AnEmptiedFieldStartsThePickerAtToday) {
    FieldHost host(kField);
    host.Field<CDateTimeUI>()->SetTime(Date(2001, 5, 6));
    host.Field()->SetText(L"");
    const HWND native = host.Open(kPicker);
    ASSERT_NE(nullptr, native);
    SYSTEMTIME today = {};
    GetLocalTime(&today);
    const SYSTEMTIME shown = ReadBack(native);
    EXPECT_EQ(today.wYear, shown.wYear);
    EXPECT_EQ(today.wMonth, shown.wMonth);
    EXPECT_EQ(today.wDay, shown.wDay);
}

TEST(DateTime, ThePickerClosesWhenTheFocusLeaves) {
    FieldHost host(kField);
    const HWND native = host.Open(kPicker);
    ASSERT_NE(nullptr, native);
    RECT rc = {};
    GetWindowRect(native, &rc);
    MapWindowPoints(nullptr, host.GetHWND(), reinterpret_cast<POINT*>(&rc), 2);
    EXPECT_EQ(host.Field()->GetPos(), rc);
    EXPECT_TRUE(host.Leave(kPicker));
}

TEST(DateTime, AFieldScrolledOutOfItsContainerOpensWithAnEmptyRectangle) {
    FieldHost host(L"<HorizontalLayout height=\"26\" width=\"20\"><Control width=\"40\"/>"
                   L"<DateTime name=\"field\" width=\"120\"/></HorizontalLayout>");
    const HWND native = host.Open(kPicker);
    ASSERT_NE(nullptr, native);
    RECT rc = {};
    GetWindowRect(native, &rc);
    EXPECT_TRUE(IsRectEmpty(&rc));
}

}  // namespace
}  // namespace kvtest
