// The slider: values from presses, drags and releases, the wheel, its
// notifications, the thumb's place and pictures, and an empty range.
#include <gtest/gtest.h>

#include "controls/ControlsKit.h"

namespace kvtest {
namespace {

constexpr DWORD kRed = 0xFF0000;
constexpr DWORD kLime = 0x00FF00;
constexpr DWORD kBlue = 0x0000FF;

// A horizontal slider at (0,0)-(210,20) with a 10 x 10 thumb: its track
// inside runs from x = 5 to x = 205, 200 pixels for the values 0..100.
class Slider : public ::testing::Test {
protected:
    void Open(const std::wstring& attributes = L"") {
        host.Build(Skin(L"<Slider name=\"s\" width=\"210\" height=\"20\" " + attributes + L"/>"));
        slider = host.Find<CSliderUI>(L"s");
        ASSERT_NE(nullptr, slider);
        host.notes.Clear();
    }

    Host host{300, 100};
    CSliderUI* slider = nullptr;
};

TEST_F(Slider, ClickingTheTrackSetsTheValueThereAndReportsItOnce) {
    Open();
    host.Click(105, 10);
    EXPECT_EQ(50, slider->GetValue());
    EXPECT_EQ((std::vector<std::wstring>{L"valuechanged"}), host.notes.Types());
    EXPECT_EQ(slider, host.notes.Last(L"valuechanged")->sender);
}

TEST_F(Slider, WithinHalfAThumbOfAnEndTheValueIsThatEnd) {
    Open();
    host.Click(206, 10);
    EXPECT_EQ(100, slider->GetValue());
    host.Click(205, 10);
    EXPECT_EQ(100, slider->GetValue());
    host.Click(5, 10);
    EXPECT_EQ(0, slider->GetValue());
    host.Click(6, 10);
    EXPECT_EQ(0, slider->GetValue()) << "(6 - 5) x 100 / 200 truncates to 0";
    host.Click(7, 10);
    EXPECT_EQ(1, slider->GetValue());
}

TEST_F(Slider, DraggingWithSendMoveReportsEveryMoveThenTheEnd) {
    Open(L"sendmove=\"true\"");
    host.Move(55, 10);
    host.Press(55, 10);
    EXPECT_EQ(25, slider->GetValue());
    host.Drag(105, 10);
    EXPECT_EQ(50, slider->GetValue());
    host.Drag(155, 10);
    EXPECT_EQ(75, slider->GetValue());
    host.Drag(400, 10);
    EXPECT_EQ(100, slider->GetValue()) << "beyond the end";
    host.Release(155, 10);
    EXPECT_EQ(75, slider->GetValue());
    EXPECT_EQ(
        (std::vector<std::wstring>{L"movevaluechanged", L"movevaluechanged", L"movevaluechanged", L"valuechanged"}),
        host.notes.Types());
}

TEST_F(Slider, DraggingWithoutSendMoveReportsOnlyTheEnd) {
    Open();
    host.Move(55, 10);
    host.Press(55, 10);
    host.Drag(105, 10);
    host.Drag(155, 10);
    host.Release(155, 10);
    EXPECT_EQ((std::vector<std::wstring>{L"valuechanged"}), host.notes.Types());
    EXPECT_EQ(75, slider->GetValue());
}

TEST_F(Slider, TheValueCannotBeSetWhileTheThumbIsDragged) {
    Open();
    host.Move(55, 10);
    host.Press(55, 10);
    slider->SetValue(90);
    EXPECT_EQ(25, slider->GetValue());
    host.Release(55, 10);
    slider->SetValue(90);
    EXPECT_EQ(90, slider->GetValue());
}

TEST_F(Slider, TheWheelStepsTheValueAndAlwaysReports) {
    Open(L"step=\"5\" value=\"90\"");
    host.Move(105, 10);
    host.Wheel(105, 10, WHEEL_DELTA);
    EXPECT_EQ(95, slider->GetValue()) << "away from the user raises";
    host.Wheel(105, 10, WHEEL_DELTA);
    host.Wheel(105, 10, WHEEL_DELTA);
    EXPECT_EQ(100, slider->GetValue()) << "not beyond the maximum";
    EXPECT_EQ(3, host.notes.Count(L"valuechanged")) << "reported also at the maximum";
    host.Wheel(105, 10, -WHEEL_DELTA);
    EXPECT_EQ(95, slider->GetValue());
}

TEST_F(Slider, KeysLeaveTheValueAlone) {
    Open(L"value=\"40\"");
    host.Click(85, 10);
    ASSERT_EQ(40, slider->GetValue());
    host.notes.Clear();
    for (WPARAM key : {WPARAM{VK_RIGHT}, WPARAM{VK_LEFT}, WPARAM{VK_UP}, WPARAM{VK_HOME}, WPARAM{VK_END}})
        host.Key(key);
    EXPECT_EQ(40, slider->GetValue());
    EXPECT_EQ(0, host.notes.Count(L"valuechanged"));
    EXPECT_EQ(0u, slider->GetControlFlags() & UIFLAG_TABSTOP) << "no tab stop";
}

TEST_F(Slider, ADisabledSliderIgnoresTheMouse) {
    Open(L"value=\"40\" enabled=\"false\"");
    host.Click(155, 10);
    host.Wheel(155, 10, WHEEL_DELTA);
    EXPECT_EQ(40, slider->GetValue());
    EXPECT_EQ(0, host.notes.Count(L"valuechanged"));
    EXPECT_EQ(0u, slider->GetControlFlags());
}

TEST_F(Slider, TheThumbSitsAtTheValue) {
    Open(L"value=\"50\" thumbsize=\"10,8\"");
    EXPECT_TRUE(SameRect(RECT{100, 6, 110, 14}, slider->GetThumbRect())) << Show(slider->GetThumbRect());
    slider->SetValue(100);
    EXPECT_TRUE(SameRect(RECT{200, 6, 210, 14}, slider->GetThumbRect())) << Show(slider->GetThumbRect());
}

TEST(SliderVertical, TheBottomIsTheMinimumAndTheTopTheMaximum) {
    Host host(100, 300);
    host.Build(Skin(L"<Slider name=\"s\" hor=\"false\" width=\"20\" height=\"210\" value=\"50\"/>"));
    auto* slider = host.Find<CSliderUI>(L"s");
    EXPECT_TRUE(SameRect(RECT{5, 100, 15, 110}, slider->GetThumbRect())) << Show(slider->GetThumbRect());
    host.Click(10, 207);
    EXPECT_EQ(0, slider->GetValue());
    host.Click(10, 3);
    EXPECT_EQ(100, slider->GetValue());
    host.Click(10, 155);
    EXPECT_EQ(25, slider->GetValue());
}

TEST(SliderRange, AnEmptyRangeNeitherCrashesNorMovesTheThumbOffTheTrack) {
    Host host;
    host.Build(Skin(L"<Slider name=\"s\" width=\"210\" height=\"20\" min=\"7\" max=\"7\"/>"));
    auto* slider = host.Find<CSliderUI>(L"s");
    const RECT thumb = slider->GetThumbRect();
    EXPECT_GE(thumb.left, 0);
    EXPECT_LE(thumb.right, 210);
    host.Move(105, 10);
    host.Press(105, 10);
    host.Drag(150, 10);
    host.Release(150, 10);
    host.Wheel(150, 10, WHEEL_DELTA);
    ASSERT_TRUE(host.Paint());
    EXPECT_GE(slider->GetThumbRect().left, 0);
    EXPECT_LE(slider->GetThumbRect().right, 210);
}

TEST(SliderThumb, ShowsItsNormalHotAndPushedPictures) {
    MakeImage("thumb.png", {"-size", "10x10", "xc:red"});
    MakeImage("thumbhot.png", {"-size", "10x10", "xc:lime"});
    MakeImage("thumbpushed.png", {"-size", "10x10", "xc:blue"});
    UseWorkFolder();
    Host host;
    host.Build(
        Skin(L"<Slider name=\"s\" width=\"210\" height=\"20\" value=\"50\" thumbimage=\"thumb.png\" "
             L"thumbhotimage=\"thumbhot.png\" thumbpushedimage=\"thumbpushed.png\"/>"));
    EXPECT_EQ(kRed, host.Pixel(105, 10));
    EXPECT_EQ(0xFFFFFFu, host.Pixel(95, 10)) << "only the thumb's place";

    host.Move(105, 10);
    ASSERT_TRUE(host.Paint());
    EXPECT_EQ(kLime, host.Pixel(105, 10)) << "hot over the thumb";

    host.Press(105, 10);
    ASSERT_TRUE(host.Paint());
    EXPECT_EQ(kBlue, host.Pixel(105, 10)) << "pushed while dragged";

    host.Drag(155, 10);
    ASSERT_TRUE(host.Paint());
    EXPECT_EQ(kBlue, host.Pixel(155, 10)) << "the thumb follows the drag";
    host.Release(155, 10);
    host.Move(20, 10);
    ASSERT_TRUE(host.Paint());
    EXPECT_EQ(kRed, host.Pixel(155, 10)) << "normal once released and left";
}

}  // namespace
}  // namespace kvtest
