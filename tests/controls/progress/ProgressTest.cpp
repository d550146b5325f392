// The progress bar: how much of it the fore colour and the fore image fill,
// the range rules, and the percentage text.
#include <gtest/gtest.h>

#include "controls/ControlsKit.h"

namespace kvtest {
namespace {

constexpr DWORD kBlue = 0x0000FF;
constexpr DWORD kLime = 0x00FF00;
constexpr DWORD kRed = 0xFF0000;

TEST(ProgressFill, HalfOfA422PixelBarIs211Pixels) {
    Host host(500, 100);
    host.Build(Skin(L"<Progress name=\"p\" width=\"422\" forecolor=\"#FF0000FF\" value=\"50\"/>"));
    auto* bar = host.Find<CProgressUI>(L"p");
    ASSERT_EQ(12, bar->GetHeight()) << "a bar is 12 high unless told";
    EXPECT_EQ(211, host.CountInRow(5, 0, 500, kBlue));
    EXPECT_EQ(kBlue, host.Pixel(210, 5));
    EXPECT_NE(kBlue, host.Pixel(211, 5));
}

TEST(ProgressFill, AValueOutsideTheRangeIsIgnored) {
    Host host(500, 100);
    host.Build(Skin(L"<Progress name=\"p\" width=\"422\" forecolor=\"#FF0000FF\" value=\"50\"/>"));
    auto* bar = host.Find<CProgressUI>(L"p");
    bar->SetValue(150);
    EXPECT_EQ(50, bar->GetValue());
    bar->SetValue(-1);
    EXPECT_EQ(50, bar->GetValue());
    bar->SetValue(100);
    ASSERT_TRUE(host.Paint());
    EXPECT_EQ(422, host.CountInRow(5, 0, 500, kBlue));
    bar->SetValue(0);
    ASSERT_TRUE(host.Paint());
    EXPECT_EQ(0, host.CountInRow(5, 0, 500, kBlue));
}

TEST(ProgressFill, AMaximumBelowTheMinimumPaintsAsOneAboveIt) {
    Host host(500, 100);
    host.Build(Skin(L"<Progress name=\"p\" width=\"400\" forecolor=\"#FF0000FF\" min=\"10\" value=\"20\"/>"));
    auto* bar = host.Find<CProgressUI>(L"p");
    bar->SetMaxValue(5);
    EXPECT_EQ(5, bar->GetMaxValue()) << "no check when set";
    ASSERT_TRUE(host.Paint());
    EXPECT_EQ(11, bar->GetMaxValue()) << "painting stored minimum + 1";
    EXPECT_EQ(11, bar->GetValue()) << "and clamped the value";
    EXPECT_EQ(400, host.CountInRow(5, 0, 500, kBlue));
}

TEST(ProgressFill, AVerticalBarFillsFromTheBottomWithColourAndImageAlike) {
    MakeImage("fore.png", {"-size", "8x8", "xc:lime"});
    UseWorkFolder();
    Host host(300, 200);
    host.Build(
        Skin(L"<HorizontalLayout height=\"100\">"
             L"<Progress name=\"c\" hor=\"false\" width=\"20\" height=\"100\" forecolor=\"#FF0000FF\" value=\"25\"/>"
             L"<Progress name=\"i\" hor=\"false\" width=\"20\" height=\"100\" foreimage=\"fore.png\" value=\"25\"/>"
             L"</HorizontalLayout>"));
    EXPECT_EQ(25, host.CountInColumn(10, 0, 100, kBlue));
    EXPECT_EQ(kBlue, host.Pixel(10, 75));
    EXPECT_NE(kBlue, host.Pixel(10, 74));
    EXPECT_EQ(25, host.CountInColumn(30, 0, 100, kLime));
    EXPECT_EQ(kLime, host.Pixel(30, 75));
}

class ForeImage : public ::testing::Test {
protected:
    void SetUp() override {
        // Left half red, right half blue: a squeezed image shows both halves
        // in the filled part, an uncut one only the red.
        MakeImage("halves.png", {"-size", "50x12", "xc:red", "-size", "50x12", "xc:blue", "+append"});
        UseWorkFolder();
    }
};

TEST_F(ForeImage, IsSqueezedIntoTheFilledPart) {
    Host host(300, 100);
    host.Build(Skin(L"<Progress name=\"p\" width=\"100\" foreimage=\"halves.png\" value=\"50\"/>"));
    EXPECT_EQ(kRed, host.Pixel(10, 5));
    EXPECT_EQ(kBlue, host.Pixel(40, 5));
    EXPECT_EQ(0xFFFFFFu, host.Pixel(60, 5)) << "nothing beyond the filled part";
}

TEST_F(ForeImage, WithoutStretchingIsCutAtTheFilledWidth) {
    Host host(300, 100);
    host.Build(
        Skin(L"<Progress name=\"p\" width=\"100\" foreimage=\"halves.png\" value=\"50\" isstretchfore=\"false\"/>"));
    EXPECT_EQ(50, host.CountInRow(5, 0, 100, kRed));
    EXPECT_EQ(0, host.CountInRow(5, 0, 100, kBlue));
}

TEST(ProgressScale, AtOneAndAHalfTimesTheFilledPartStillEndsWhereTheValueSays) {
    MakeImage("fill.png", {"-size", "10x10", "xc:lime"});
    MakeImage("fill@150.png", {"-size", "15x15", "xc:lime"});
    UseWorkFolder();
    Host host(700, 100);
    host.manager.GetScaler()->SetDPI(144);
    host.Build(Skin(L"<Progress name=\"p\" width=\"400\" height=\"10\" foreimage=\"fill.png\" value=\"50\"/>"));
    ASSERT_EQ(600, host.Find<CProgressUI>(L"p")->GetWidth());
    EXPECT_EQ(300, host.CountInRow(5, 0, 700, kLime)) << "300 physical pixels written as 200 and scaled again";
}

TEST(ProgressText, ShowsThePercentage) {
    CProgressUI bar;
    bar.SetShowText(true);
    bar.SetMinValue(100);
    bar.SetMaxValue(300);
    bar.SetValue(150);
    EXPECT_EQ(std::wstring(L"25%"), bar.GetText().GetData());
    bar.SetValue(299);
    EXPECT_EQ(std::wstring(L"100%"), bar.GetText().GetData()) << "rounded";
}

TEST(ProgressText, AnEmptyRangeShowsZeroPercentInsteadOfDividingByZero) {
    CProgressUI bar;
    bar.SetShowText(true);
    bar.SetMinValue(5);
    bar.SetMaxValue(5);
    bar.SetValue(5);
    EXPECT_EQ(std::wstring(L"0%"), bar.GetText().GetData());
}

TEST(ProgressText, WithoutTheSwitchTheTextStays) {
    CProgressUI bar;
    bar.SetText(L"Downloading");
    bar.SetValue(30);
    EXPECT_EQ(std::wstring(L"Downloading"), bar.GetText().GetData());
}

}  // namespace
}  // namespace kvtest
