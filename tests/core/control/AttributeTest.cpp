// Skin attributes of the base control: number lists, colours, styles and the
// attribute-list syntax.
#include <gtest/gtest.h>

#include <cstring>

#include "core/manager/ManagerTestKit.h"

namespace kvtest {
namespace {

// A text placed at the very end of a readable page, followed by an
// unreadable one: reading one character past its terminator faults.
class EdgeOfPage {
public:
    EdgeOfPage() {
        SYSTEM_INFO info;
        GetSystemInfo(&info);
        m_page = info.dwPageSize;
        m_base = static_cast<BYTE*>(VirtualAlloc(nullptr, 2 * m_page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        DWORD old = 0;
        VirtualProtect(m_base + m_page, m_page, PAGE_NOACCESS, &old);
    }
    ~EdgeOfPage() { VirtualFree(m_base, 0, MEM_RELEASE); }
    LPCTSTR Put(const wchar_t* text) {
        const size_t bytes = (wcslen(text) + 1) * sizeof(wchar_t);
        BYTE* at = m_base + m_page - bytes;
        memcpy(at, text, bytes);
        return reinterpret_cast<LPCTSTR>(at);
    }

private:
    BYTE* m_base = nullptr;
    size_t m_page = 0;
};

TEST(Attributes, PosWithANegativeLeftTakesTheRightAsPosition) {
    CControlUI control;
    control.SetAttribute(L"pos", L"-50,10,-10,30");
    EXPECT_EQ(-10, control.GetFixedXY().cx);
    EXPECT_EQ(10, control.GetFixedXY().cy);
    EXPECT_EQ(40, control.GetFixedWidth());
    EXPECT_EQ(20, control.GetFixedHeight());
}

struct ShortList {
    const wchar_t* name;
    const wchar_t* value;
};

class ShortLists : public ::testing::TestWithParam<ShortList> {};

TEST_P(ShortLists, StopAtTheEndOfTheText) {
    EdgeOfPage page;
    CControlUI control;
    control.SetAttribute(GetParam().name, page.Put(GetParam().value));
    SUCCEED();
}

INSTANTIATE_TEST_SUITE_P(Attributes, ShortLists,
                         ::testing::Values(ShortList{L"pos", L"0,0"}, ShortList{L"pos", L"5"},
                                           ShortList{L"padding", L"1,2"}, ShortList{L"bordersize", L"1,"},
                                           ShortList{L"borderround", L"4"}, ShortList{L"float", L"0.5,"},
                                           ShortList{L"pos", L""}, ShortList{L"bkcolor", L"#"},
                                           ShortList{L"floatalign", L"right,"}));

TEST(Attributes, AShortListLeavesTheMissingNumbersZero) {
    CControlUI control;
    control.SetAttribute(L"pos", L"3,4");
    EXPECT_EQ(3, control.GetFixedXY().cx);
    EXPECT_EQ(4, control.GetFixedXY().cy);
    EXPECT_EQ(0, control.GetFixedWidth()) << "0 - 3 is negative and ignored";
    control.SetAttribute(L"padding", L"1,2");
    EXPECT_EQ(2, control.GetPadding().top);
    EXPECT_EQ(0, control.GetPadding().bottom);
}

TEST(Attributes, FloatTakesABooleanOrFourFractions) {
    CControlUI control;
    control.SetAttribute(L"float", L"true");
    EXPECT_TRUE(control.IsFloat());
    control.SetAttribute(L"float", L"TRUE");
    EXPECT_TRUE(control.IsFloat()) << "booleans ignore case";
    control.SetAttribute(L"float", L"yes");
    EXPECT_FALSE(control.IsFloat());
    control.SetAttribute(L"float", L"0.25,0.5,0.75,1");
    EXPECT_TRUE(control.IsFloat());
    EXPECT_DOUBLE_EQ(0.5, control.GetFloatPercent().top);
    EXPECT_DOUBLE_EQ(1.0, control.GetFloatPercent().bottom);
}

TEST(Attributes, FloatAlignWordsActInOrderOnTheCurrentAlignment) {
    CControlUI control;
    control.SetAttribute(L"floatalign", L"right,bottom");
    EXPECT_EQ(10u, control.GetFloatAlign());
    control.SetAttribute(L"floatalign", L"center");
    EXPECT_EQ(9u, control.GetFloatAlign());
    control.SetAttribute(L"floatalign", L"vcenter top");
    EXPECT_EQ(1u, control.GetFloatAlign());
    control.SetAttribute(L"floatalign", L"null");
    EXPECT_EQ(0u, control.GetFloatAlign());
}

struct ColourCase {
    const wchar_t* name;
    const wchar_t* value;
    DWORD expected;
};

class Colours : public ::testing::TestWithParam<ColourCase> {};

TEST_P(Colours, ParseHexWithOptionalHash) {
    CControlUI control;
    control.SetAttribute(GetParam().name, GetParam().value);
    const std::wstring name = GetParam().name;
    const DWORD got = name == L"bordercolor"        ? control.GetBorderColor()
                      : name == L"focusbordercolor" ? control.GetFocusBorderColor()
                      : name == L"bkcolor2"         ? control.GetBkColor2()
                                                    : control.GetBkColor();
    EXPECT_EQ(GetParam().expected, got);
}

INSTANTIATE_TEST_SUITE_P(Attributes, Colours,
                         ::testing::Values(ColourCase{L"bkcolor", L"#FF102030", 0xFF102030},
                                           ColourCase{L"BkColor1", L"FF102030", 0xFF102030},
                                           ColourCase{L"bkcolor", L"  #80FF0000", 0x80FF0000},
                                           ColourCase{L"bkcolor2", L"#00102030", 0x00102030},
                                           ColourCase{L"bordercolor", L"#FF00FF00", 0xFF00FF00},
                                           ColourCase{L"bordercolor", L" #FF00FF00", 0u},
                                           ColourCase{L"focusbordercolor", L"FFABCDEF", 0xFFABCDEF}));

TEST(Attributes, ASingleBorderSizeClearsTheSidesAndFourKeepTheSingleSize) {
    CControlUI control;
    control.SetAttribute(L"bordersize", L"1,2,3,4");
    EXPECT_EQ(3, control.GetRightBorderSize());
    control.SetAttribute(L"bordersize", L"2");
    EXPECT_EQ(2, control.GetBorderSize());
    EXPECT_EQ(0, control.GetRightBorderSize());
    control.SetAttribute(L"bordersize", L"5,6,7,8");
    EXPECT_EQ(2, control.GetBorderSize());
    EXPECT_EQ(8, control.GetBottomBorderSize());
    control.SetAttribute(L"leftbordersize", L"9");
    EXPECT_EQ(9, control.GetLeftBorderSize());
}

TEST(Attributes, NegativeOrUnchangedSizesAreIgnored) {
    CControlUI control;
    control.SetFixedWidth(30);
    control.SetFixedWidth(-1);
    EXPECT_EQ(30, control.GetFixedWidth());
    control.SetAttribute(L"minheight", L"-4");
    EXPECT_EQ(0, control.GetMinHeight());
    control.SetAttribute(L"maxwidth", L"640");
    EXPECT_EQ(640, control.GetMaxWidth());
    EXPECT_EQ(9999, control.GetMaxHeight());
}

TEST(Attributes, StateAndTextAttributes) {
    CControlUI control;
    control.ApplyAttributeList(
        L"name=\"btn_ok\" visible=\"false\" enabled=\"false\" mouse=\"false\" keyboard=\"false\" "
        L"shortcut=\"Save\" menu=\"true\" tooltip=\"one<n>two\" text=\"a{\\n}b\" userdata=\"u\" "
        L"cursor=\"hand\" drag=\"true\" drop=\"true\"");
    EXPECT_EQ(std::wstring(L"btn_ok"), control.GetName().GetData());
    EXPECT_FALSE(control.IsVisible());
    EXPECT_FALSE(control.IsEnabled());
    EXPECT_FALSE(control.IsMouseEnabled());
    EXPECT_FALSE(control.IsKeyboardEnabled());
    EXPECT_EQ(L'S', control.GetShortcut());
    EXPECT_TRUE(control.IsContextMenuUsed());
    EXPECT_EQ(std::wstring(L"one\r\ntwo"), control.GetToolTip().GetData());
    EXPECT_EQ(std::wstring(L"a\nb"), control.GetText().GetData());
    EXPECT_EQ(std::wstring(L"u"), control.GetUserData().GetData());
    EXPECT_EQ(32649, control.GetCursor());
    EXPECT_TRUE(control.IsDragEnabled());
    EXPECT_TRUE(control.IsDropEnabled());
    control.SetAttribute(L"cursor", L"nonsense");
    EXPECT_EQ(32649, control.GetCursor()) << "an unknown cursor word changes nothing";
}

TEST(AttributeLists, PairsSeparatedByOneSpaceOrOneComma) {
    CControlUI control;
    control.ApplyAttributeList(L"width=\"10\" height=\"20\",minwidth=\"5\"");
    EXPECT_EQ(10, control.GetFixedWidth());
    EXPECT_EQ(20, control.GetFixedHeight());
    EXPECT_EQ(5, control.GetMinWidth());
}

TEST(AttributeLists, ASecondSeparatorBecomesPartOfTheNextName) {
    CControlUI control;
    control.ApplyAttributeList(L"width=\"10\"  height=\"20\"");
    EXPECT_EQ(10, control.GetFixedWidth());
    EXPECT_EQ(0, control.GetFixedHeight());
    EXPECT_EQ(std::wstring(L"20"), control.GetCustomAttribute(L" height"));
}

TEST(AttributeLists, QuotEntitiesBecomeQuotesAndBrokenListsStop) {
    CControlUI control;
    control.ApplyAttributeList(L"width=&quot;12&quot; height=\"7");
    EXPECT_EQ(12, control.GetFixedWidth());
    EXPECT_EQ(0, control.GetFixedHeight()) << "no closing quote ends the list";
    control.ApplyAttributeList(L"minwidth=3");
    EXPECT_EQ(0, control.GetMinWidth()) << "a value must be quoted";
}

TEST(CustomAttributes, TheFirstValueStaysAndEmptyValuesAreNotStored) {
    CControlUI control;
    control.SetAttribute(L"linkurl", L"first");
    control.SetAttribute(L"linkurl", L"second");
    control.AddCustomAttribute(L"empty", L"");
    EXPECT_EQ(std::wstring(L"first"), control.GetCustomAttribute(L"linkurl"));
    EXPECT_EQ(nullptr, control.GetCustomAttribute(L"empty"));
    control.RemoveAllCustomAttribute();
    EXPECT_EQ(nullptr, control.GetCustomAttribute(L"linkurl"));
}

// Styles need a manager to look them up in.
class Styles : public ::testing::Test {
protected:
    void SetUp() override { control.SetManager(&manager, nullptr, false); }
    void TearDown() override { control.SetManager(nullptr, nullptr, false); }
    CPaintManagerUI manager;
    CControlUI control;
};

TEST_F(Styles, AValueThatNamesAStyleAppliesTheStyleInstead) {
    manager.AddStyle(L"title", L"width=\"40\" bkcolor=\"#FF0000FF\"");
    control.SetAttribute(L"text", L"title");
    EXPECT_TRUE(control.GetText().IsEmpty());
    EXPECT_EQ(40, control.GetFixedWidth());
    EXPECT_EQ(0xFF0000FFu, control.GetBkColor());
}

TEST_F(Styles, AWholeListThatNamesAStyleAppliesIt) {
    manager.AddStyle(L"tall", L"height=\"50\"");
    control.ApplyAttributeList(L"tall");
    EXPECT_EQ(50, control.GetFixedHeight());
}

TEST_F(Styles, AStyleNamingItselfIsAppliedOnce) {
    manager.AddStyle(L"loop", L"text=\"loop\" width=\"11\"");
    control.SetAttribute(L"innerstyle", L"loop");
    EXPECT_EQ(11, control.GetFixedWidth());
    EXPECT_EQ(std::wstring(L"loop"), control.GetText().GetData()) << "inside itself the name is plain text";
    manager.AddStyle(L"self", L"self");
    control.ApplyAttributeList(L"self");
    SUCCEED();
}

TEST_F(Styles, TwoStylesNamingEachOtherAreEachAppliedOnce) {
    manager.AddStyle(L"ping", L"text=\"pong\" width=\"10\"");
    manager.AddStyle(L"pong", L"text=\"ping\" height=\"20\"");
    control.SetAttribute(L"text", L"ping");
    EXPECT_EQ(10, control.GetFixedWidth());
    EXPECT_EQ(20, control.GetFixedHeight());
    EXPECT_EQ(std::wstring(L"ping"), control.GetText().GetData());
    // Once the application is over the style works again.
    control.SetFixedWidth(0);
    control.SetAttribute(L"name", L"ping");
    EXPECT_EQ(10, control.GetFixedWidth());
}

TEST_F(Styles, OwnStylesComeBeforeSharedOnesAndTheFirstOfANameStays) {
    manager.AddStyle(L"shade", L"width=\"1\"", true);
    manager.AddStyle(L"shade", L"width=\"2\"");
    manager.AddStyle(L"shade", L"width=\"3\"");
    control.ApplyAttributeList(L"shade");
    EXPECT_EQ(2, control.GetFixedWidth());
    manager.RemoveAllStyles();
    control.ApplyAttributeList(L"shade");
    EXPECT_EQ(1, control.GetFixedWidth());
    manager.RemoveAllStyles(true);
}

TEST_F(Styles, VirtualWindowsAreAnnouncedToTheManager) {
    control.SetAttribute(L"virtualwnd", L"pane");
    EXPECT_EQ(std::wstring(L"pane"), control.GetVirtualWnd().GetData());
    CControlUI child;
    child.SetManager(&manager, &control, false);
    EXPECT_EQ(std::wstring(L"pane"), child.GetVirtualWnd().GetData()) << "inherited from the parent";
    child.SetManager(nullptr, nullptr, false);
}

}  // namespace
}  // namespace kvtest
