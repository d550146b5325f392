// Options and check boxes: groups and "selectchanged", clicks on selected
// options, auto-check, painting while selected, and groups built from skins.
#include <gtest/gtest.h>

#include "controls/ControlsKit.h"

namespace kvtest {
namespace {

constexpr DWORD kRed = 0xFF0000;
constexpr DWORD kLime = 0x00FF00;
constexpr DWORD kBlue = 0x0000FF;
constexpr DWORD kWhite = 0xFFFFFF;

// Options 20 high, one under the other: option n lies at y = 20n .. 20n + 20.
class Options : public ::testing::Test {
protected:
    void Open(const std::wstring& body, const std::wstring& declarations = L"") {
        host.Build(Skin(body, declarations));
        host.notes.Clear();
    }
    COptionUI* Option(LPCTSTR name) const { return host.Find<COptionUI>(name); }
    std::vector<std::wstring> Senders(const std::wstring& type) const {
        std::vector<std::wstring> names;
        for (const Notes::Note& note : host.notes.notes) {
            if (note.type == type) names.push_back(note.sender->GetName().GetData());
        }
        return names;
    }

    Host host{200, 150};
};

const std::wstring kThree =
    L"<Option name=\"a\" height=\"20\" group=\"g\" selected=\"true\"/>"
    L"<Option name=\"b\" height=\"20\" group=\"g\"/>"
    L"<Option name=\"c\" height=\"20\" group=\"g\"/>";

TEST_F(Options, SelectingTheSecondOfAGroupSilentlyDeselectsTheFirst) {
    Open(kThree);
    host.Click(10, 30);
    EXPECT_TRUE(Option(L"b")->IsSelected());
    EXPECT_FALSE(Option(L"a")->IsSelected());
    EXPECT_FALSE(Option(L"c")->IsSelected());
    EXPECT_EQ((std::vector<std::wstring>{L"click", L"selectchanged"}), host.notes.Types());
    EXPECT_EQ((std::vector<std::wstring>{L"b"}), Senders(L"selectchanged"));
    EXPECT_EQ(0u, host.notes.Last(L"selectchanged")->wParam);
}

TEST_F(Options, ClickingTheSelectedOptionOfAGroupOnlyClicks) {
    Open(kThree);
    host.Click(10, 10);
    EXPECT_TRUE(Option(L"a")->IsSelected()) << "the user cannot deselect a grouped option";
    EXPECT_EQ((std::vector<std::wstring>{L"click"}), host.notes.Types());
}

TEST_F(Options, SelectingTheSelectedOptionSendsAndRepaintsNothing) {
    Open(kThree);
    ASSERT_TRUE(host.Paint());
    Option(L"a")->Selected(true);
    RECT dirty;
    EXPECT_FALSE(GetUpdateRect(host, &dirty, FALSE));
    EXPECT_TRUE(host.notes.Types().empty());
}

TEST_F(Options, AnOptionOutsideAGroupTogglesOnEveryClick) {
    Open(L"<Option name=\"o\" height=\"20\"/>");
    host.Click(10, 10);
    EXPECT_TRUE(Option(L"o")->IsSelected());
    host.Click(10, 10);
    EXPECT_FALSE(Option(L"o")->IsSelected());
    EXPECT_EQ((std::vector<std::wstring>{L"click", L"selectchanged", L"click", L"selectchanged"}), host.notes.Types());
}

TEST_F(Options, TheSelectedAttributeIsTrueOnlyForTrue) {
    Open(L"<Option name=\"o\" height=\"20\" selected=\"TRUE\"/><Option name=\"p\" height=\"20\" selected=\"yes\"/>");
    EXPECT_TRUE(Option(L"o")->IsSelected());
    EXPECT_FALSE(Option(L"p")->IsSelected());
    Option(L"o")->SetAttribute(L"selected", L"1");
    EXPECT_FALSE(Option(L"o")->IsSelected());
}

TEST_F(Options, ChangingTheGroupLeavesTheOldOne) {
    Open(kThree);
    COptionUI* a = Option(L"a");
    a->SetGroup(L"other");
    Option(L"b")->Selected(true);
    EXPECT_TRUE(a->IsSelected()) << "no longer in group g";
    a->SetGroup(nullptr);
    EXPECT_STREQ(L"", a->GetGroup());
    const CUIPtrArray* g = host.manager.GetOptionGroup(L"g");
    ASSERT_NE(nullptr, g);
    EXPECT_EQ(2, g->GetSize());
    EXPECT_EQ(nullptr, host.manager.GetOptionGroup(L"other"));
}

TEST_F(Options, ASelectedOptionWithoutSelectedBackgroundPaintsNoBackground) {
    Open(
        L"<Option name=\"o\" height=\"20\" bkcolor=\"#FFFF0000\"/>"
        L"<Option name=\"p\" height=\"20\" bkcolor=\"#FFFF0000\" selectedbkcolor=\"#FF0000FF\"/>");
    EXPECT_EQ(kRed, host.Pixel(10, 10));
    Option(L"o")->Selected(true);
    Option(L"p")->Selected(true);
    ASSERT_TRUE(host.Paint());
    EXPECT_EQ(kWhite, host.Pixel(10, 10));
    EXPECT_EQ(kBlue, host.Pixel(10, 30));
}

TEST_F(Options, ADisabledThenEnabledSelectedOptionStillPaintsAsSelected) {
    MakeImage("red.png", {"-size", "20x20", "xc:red"});
    MakeImage("lime.png", {"-size", "20x20", "xc:lime"});
    UseWorkFolder();
    Open(L"<Option name=\"o\" height=\"20\" normalimage=\"red.png\" selectedimage=\"lime.png\" selected=\"true\"/>");
    EXPECT_EQ(kLime, host.Pixel(10, 10));
    COptionUI* option = Option(L"o");
    option->SetEnabled(false);
    ASSERT_TRUE(host.Paint());
    EXPECT_EQ(kLime, host.Pixel(10, 10));
    option->SetEnabled(true);
    ASSERT_TRUE(host.Paint());
    EXPECT_EQ(kLime, host.Pixel(10, 10));
    EXPECT_TRUE(option->IsSelected());
}

TEST_F(Options, SelectedSlicesShowTheSelectedStates) {
    MakeStrip("sel.png", 20, {"red", "lime", "blue"});
    UseWorkFolder();
    Open(
        L"<Option name=\"o\" width=\"20\" height=\"20\" selectedstateimage=\"sel.png\" selectedstatecount=\"3\" "
        L"selected=\"true\"/>");
    EXPECT_EQ(kRed, host.Pixel(10, 10));
    host.Move(10, 10);
    ASSERT_TRUE(host.Paint());
    EXPECT_EQ(kLime, host.Pixel(10, 10));
    host.Press(10, 10);
    ASSERT_TRUE(host.Paint());
    EXPECT_EQ(kBlue, host.Pixel(10, 10));
}

TEST_F(Options, ASelectedOptionWithoutTextKeepsItsOwnTextColourForLater) {
    Open(L"<Option name=\"o\" height=\"60\" font=\"0\" textcolor=\"#FF0000FF\" selectedtextcolor=\"#FFFF0000\"/>",
         L"<Font id=\"0\" name=\"Tahoma\" size=\"40\" bold=\"true\"/>");
    COptionUI* option = Option(L"o");
    option->Selected(true);
    ASSERT_TRUE(host.Paint());
    option->Selected(false);
    option->SetText(L"HIH");
    ASSERT_TRUE(host.Paint());
    int red = 0;
    int blue = 0;
    for (int y = 0; y < 60; ++y) {
        red += host.CountInRow(y, 0, 200, kRed);
        blue += host.CountInRow(y, 0, 200, kBlue);
    }
    EXPECT_EQ(0, red);
    EXPECT_GT(blue, 10);
    EXPECT_EQ(0xFF0000FFu, option->GetTextColor());
}

// Groups made while a skin is built: whatever the order of "selected" and
// "group", and with or without a window, one option of a group is selected.
TEST(OptionGroupsFromSkins, NeverEndWithTwoSelected) {
    const std::wstring body =
        L"<Option name=\"a\" height=\"20\" group=\"g\" selected=\"true\"/>"
        L"<Option name=\"b\" height=\"20\" selected=\"true\" group=\"g\"/>"
        L"<Option name=\"c\" height=\"20\" group=\"g\"/>";
    {
        Host host;
        host.Build(Skin(body));
        EXPECT_FALSE(host.Find<COptionUI>(L"a")->IsSelected());
        EXPECT_TRUE(host.Find<COptionUI>(L"b")->IsSelected());
    }
    {
        Host host;
        CDialogBuilder builder;
        CControlUI* root = builder.Create(Skin(body).c_str());
        ASSERT_NE(nullptr, root);
        host.Attach(root);
        EXPECT_FALSE(host.Find<COptionUI>(L"a")->IsSelected()) << "built without a window";
        EXPECT_TRUE(host.Find<COptionUI>(L"b")->IsSelected());
        host.Find<COptionUI>(L"c")->Selected(true);
        EXPECT_FALSE(host.Find<COptionUI>(L"b")->IsSelected()) << "the group works once attached";
    }
}

TEST(OptionGroupsFromSkins, AnOptionThatDiesBeforeBeingAttachedLeavesItsGroup) {
    Host host;
    CDialogBuilder builder;
    CControlUI* root =
        builder.Create(Skin(L"<Option height=\"20\" group=\"g\"/>").c_str(), nullptr, nullptr, &host.manager);
    ASSERT_NE(nullptr, root);
    ASSERT_NE(nullptr, host.manager.GetOptionGroup(L"g"));
    delete root;
    EXPECT_EQ(nullptr, host.manager.GetOptionGroup(L"g"));
}

class CheckBoxes : public Options {};

TEST_F(CheckBoxes, AutoCheckTogglesOnThePressAndNeverClicks) {
    Open(L"<CheckBox name=\"c\" height=\"20\" EnableAutoCheck=\"true\"/>");
    host.Move(10, 10);
    host.Press(10, 10);
    EXPECT_TRUE(Option(L"c")->IsSelected());
    host.Release(10, 10);
    EXPECT_EQ((std::vector<std::wstring>{L"selectchanged", L"checkclick"}), host.notes.Types());
    EXPECT_EQ(1u, host.notes.Last(L"selectchanged")->wParam);
    host.notes.Clear();
    host.Click(10, 10);
    EXPECT_FALSE(Option(L"c")->IsSelected());
    EXPECT_EQ((std::vector<std::wstring>{L"selectchanged", L"checkclick"}), host.notes.Types());
    EXPECT_EQ(0u, host.notes.Last(L"selectchanged")->wParam);
}

TEST_F(CheckBoxes, WithoutAutoCheckTheReleaseTogglesAfterTheClick) {
    Open(L"<CheckBox name=\"c\" height=\"20\"/>");
    host.Move(10, 10);
    host.Press(10, 10);
    EXPECT_FALSE(Option(L"c")->IsSelected());
    host.Release(10, 10);
    EXPECT_TRUE(Option(L"c")->IsSelected());
    EXPECT_EQ((std::vector<std::wstring>{L"click", L"selectchanged"}), host.notes.Types());
    EXPECT_EQ(1u, host.notes.Last(L"selectchanged")->wParam);
}

TEST_F(CheckBoxes, ADisabledAutoCheckBoxStaysAsItIs) {
    Open(L"<CheckBox name=\"c\" height=\"20\" EnableAutoCheck=\"true\" enabled=\"false\"/>");
    host.Click(10, 10);
    EXPECT_FALSE(Option(L"c")->IsSelected());
    EXPECT_TRUE(host.notes.Types().empty());
}

}  // namespace
}  // namespace kvtest
