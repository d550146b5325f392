// The button: press, drag and release sequences for "click", keys, the
// pictures of its states (also cut from one strip), colours and fonts.
#include <gtest/gtest.h>

#include "controls/ControlsKit.h"

namespace kvtest {
namespace {

constexpr DWORD kRed = 0xFF0000;
constexpr DWORD kLime = 0x00FF00;
constexpr DWORD kBlue = 0x0000FF;
constexpr DWORD kYellow = 0xFFFF00;
constexpr DWORD kWhite = 0xFFFFFF;

class Images : public ::testing::Environment {
public:
    void SetUp() override {
        MakeStrip("strip4.png", 20, {"red", "lime", "blue", "yellow"});
        for (const char* colour : {"red", "lime", "blue", "yellow"}) {
            MakeImage(std::string(colour) + ".png", {"-size", "20x20", std::string("xc:") + colour});
        }
        // Red squares with black bars 5 pixels wide at both sides, two slices.
        MakeImage("barred.png", {"-size", "20x20", "xc:red", "-fill", "black", "-draw", "rectangle 0,0 4,19", "-draw",
                                 "rectangle 15,0 19,19", "-size", "20x20", "xc:lime", "+append"});
        UseWorkFolder();
    }
};

const auto* const kImages = ::testing::AddGlobalTestEnvironment(new Images);

// One 20 x 20 button at (0,0) in a white window.
class Button : public ::testing::Test {
protected:
    void Open(const std::wstring& attributes, int width = 20) {
        host.Build(
            Skin(L"<Button name=\"b\" width=\"" + std::to_wstring(width) + L"\" height=\"20\" " + attributes + L"/>"));
        button = host.Find<CButtonUI>(L"b");
        ASSERT_NE(nullptr, button);
        host.notes.Clear();
    }
    DWORD Shows(int x = 10, int y = 10) {
        EXPECT_TRUE(host.Paint());
        return host.Pixel(x, y);
    }
    // What the button shows when normal, hot, pushed and disabled, in that order.
    std::vector<DWORD> ThroughTheStates() {
        std::vector<DWORD> shown = {Shows()};
        host.Move(10, 10);
        shown.push_back(Shows());
        host.Press(10, 10);
        shown.push_back(Shows());
        host.Release(10, 10);
        button->SetEnabled(false);
        shown.push_back(Shows());
        return shown;
    }

    Host host{200, 100};
    CButtonUI* button = nullptr;
};

TEST_F(Button, PressAndReleaseInsideClicks) {
    Open(L"");
    host.Click(10, 10);
    EXPECT_EQ((std::vector<std::wstring>{L"click"}), host.notes.Types());
    EXPECT_EQ(button, host.notes.Last(L"click")->sender);
}

TEST_F(Button, ReleasingOutsideSendsNoClickButComingBackDoes) {
    Open(L"");
    host.Move(10, 10);
    host.Press(10, 10);
    host.Drag(100, 50);
    host.Release(100, 50);
    EXPECT_EQ(0, host.notes.Count(L"click"));

    host.Move(10, 10);
    host.Press(10, 10);
    host.Drag(100, 50);
    host.Drag(12, 12);
    host.Release(12, 12);
    EXPECT_EQ(1, host.notes.Count(L"click"));
}

TEST_F(Button, ADisabledButtonIgnoresPressAndRelease) {
    Open(L"enabled=\"false\"");
    host.Click(10, 10);
    EXPECT_EQ(0, host.notes.Count(L"click"));
    button->SetEnabled(true);
    host.Release(10, 10);
    EXPECT_EQ(0, host.notes.Count(L"click")) << "a release without a press does nothing";
}

TEST_F(Button, SpaceAndReturnClickTheFocusedButton) {
    Open(L"");
    button->SetFocus();
    host.Key(VK_SPACE);
    host.Key(VK_RETURN);
    host.Key('A');
    EXPECT_EQ(2, host.notes.Count(L"click"));
    button->SetKeyboardEnabled(false);
    host.Key(VK_SPACE);
    EXPECT_EQ(2, host.notes.Count(L"click"));
    EXPECT_EQ(static_cast<UINT>(UIFLAG_SETCURSOR), button->GetControlFlags()) << "no longer a tab stop";
}

TEST_F(Button, AContextMenuIsReportedWhenAsked) {
    Open(L"menu=\"true\"");
    host.Press(10, 10);
    POINT pt{10, 10};
    ClientToScreen(host, &pt);
    host.Send(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(static_cast<HWND>(host)), MAKELPARAM(pt.x, pt.y));
    EXPECT_EQ(1, host.notes.Count(L"menu"));
}

TEST_F(Button, ShowsThePictureOfEachState) {
    Open(L"normalimage=\"red.png\" hotimage=\"lime.png\" pushedimage=\"blue.png\" disabledimage=\"yellow.png\"");
    EXPECT_EQ(kRed, Shows());
    host.Move(10, 10);
    EXPECT_EQ(kLime, Shows()) << "hot";
    host.Press(10, 10);
    EXPECT_EQ(kBlue, Shows()) << "pushed";
    host.Drag(100, 50);
    EXPECT_EQ(kLime, Shows()) << "dragged out: hot but not pushed";
    host.Release(100, 50);
    host.Move(100, 50);
    EXPECT_EQ(kRed, Shows());
    button->SetEnabled(false);
    EXPECT_EQ(kYellow, Shows());
}

TEST_F(Button, AFocusedButtonInADisabledWindowShowsItsNormalPicture) {
    Open(L"normalimage=\"red.png\" focusedimage=\"blue.png\"");
    button->SetFocus();
    EXPECT_EQ(kBlue, Shows());
    EnableWindow(host, FALSE);
    EXPECT_EQ(kRed, Shows());
    EnableWindow(host, TRUE);
}

TEST_F(Button, FourSlicesGiveNormalHotPushedAndDisabled) {
    Open(L"stateimage=\"strip4.png\" statecount=\"4\"");
    EXPECT_EQ((std::vector<DWORD>{kRed, kLime, kBlue, kYellow}), ThroughTheStates());
}

TEST_F(Button, TwoSlicesShareTheHotAndPushedPicture) {
    Open(L"stateimage=\"strip4.png\" statecount=\"2\"");
    EXPECT_EQ(DWORD{kRed}, Shows(2, 10)) << "the normal slice is 40 wide: red then lime";
    host.Move(10, 10);
    const DWORD hot = Shows(2, 10);
    host.Press(10, 10);
    EXPECT_EQ(hot, Shows(2, 10));
    EXPECT_EQ(kBlue, hot) << "the second slice starts at the strip's third square";
}

TEST_F(Button, OneSliceCutsOnlyTheNormalPicture) {
    Open(L"stateimage=\"strip4.png\" statecount=\"1\"");
    EXPECT_EQ(kRed, Shows(2, 10));
    EXPECT_EQ(kYellow, Shows(18, 10)) << "the whole strip squeezed in";
    host.Move(10, 10);
    EXPECT_EQ(kRed, Shows(2, 10)) << "no hot slice";
}

TEST_F(Button, SettingTheStripAgainCutsItAgain) {
    Open(L"stateimage=\"strip4.png\" statecount=\"4\"");
    EXPECT_EQ(kRed, Shows());
    MakeStrip("other.png", 20, {"blue", "red"});
    button->SetAttribute(L"statecount", L"2");
    button->SetAttribute(L"stateimage", L"other.png");
    EXPECT_EQ(kBlue, Shows());
}

TEST_F(Button, SlicesKeepTheStripsCorners) {
    Open(L"stateimage=\"file='barred.png' corner='5,0,5,0'\" statecount=\"2\"", 60);
    EXPECT_EQ(0u, Shows(2, 10)) << "the left bar keeps its 5 pixels";
    EXPECT_EQ(kRed, host.Pixel(10, 10)) << "and only those";
    EXPECT_EQ(0u, host.Pixel(57, 10));
}

TEST_F(Button, SlicesKeepTheStripsMask) {
    Open(L"stateimage=\"file='strip4.png' mask='#FFFF0000'\" statecount=\"4\"");
    EXPECT_EQ(kWhite, Shows()) << "red is masked out";
}

TEST_F(Button, SlicesKeepTheStripsFade) {
    Open(L"stateimage=\"file='strip4.png' fade='128'\" statecount=\"4\"");
    const DWORD pixel = Shows();
    EXPECT_EQ(0xFFu, (pixel >> 16) & 0xFF) << std::hex << pixel;
    EXPECT_GT(pixel & 0xFF, 100u) << std::hex << pixel << ": half of the white shows through";
    EXPECT_LT(pixel & 0xFF, 160u) << std::hex << pixel;
}

TEST_F(Button, StateColoursFollowTheState) {
    Open(L"bkcolor=\"#FFFF0000\" hotbkcolor=\"#FF00FF00\" pushedbkcolor=\"#FF0000FF\" disabledbkcolor=\"#FFFFFF00\"");
    EXPECT_EQ((std::vector<DWORD>{kRed, kLime, kBlue, kYellow}), ThroughTheStates());
}

TEST_F(Button, TheHotForeImageShowsOnlyWhileHotAndNotPushed) {
    Open(L"foreimage=\"red.png\" hotforeimage=\"lime.png\"");
    EXPECT_EQ(kRed, Shows());
    host.Move(10, 10);
    EXPECT_EQ(kLime, Shows());
    host.Press(10, 10);
    EXPECT_EQ(kRed, Shows());
}

TEST_F(Button, TheFocusedFontIsSetOnlyByItsOwnSpelling) {
    Open(L"");
    button->SetAttribute(L"focusedfont", L"2");
    EXPECT_EQ(-1, button->GetFocusedFont());
    button->SetAttribute(L"FocuedFont", L"2");
    EXPECT_EQ(2, button->GetFocusedFont());
    button->SetAttribute(L"hotfont", L"3");
    button->SetAttribute(L"pushedfont", L"4");
    EXPECT_EQ(3, button->GetHotFont());
    EXPECT_EQ(4, button->GetPushedFont());
}

TEST_F(Button, TheHotTextColourPaintsTheTextWhileHot) {
    host.Build(
        Skin(L"<Button name=\"b\" height=\"60\" font=\"0\" text=\"HIH\" textcolor=\"#FF0000FF\" "
             L"hottextcolor=\"#FFFF0000\"/>",
             L"<Font id=\"0\" name=\"Tahoma\" size=\"40\" bold=\"true\"/>"));
    auto count = [&](DWORD colour) {
        int n = 0;
        for (int y = 0; y < 60; ++y) n += host.CountInRow(y, 0, 200, colour);
        return n;
    };
    EXPECT_GT(count(kBlue), 50);
    EXPECT_EQ(0, count(kRed));
    host.Move(100, 30);
    ASSERT_TRUE(host.Paint());
    EXPECT_GT(count(kRed), 50);
    EXPECT_EQ(0, count(kBlue));
}

}  // namespace
}  // namespace kvtest
