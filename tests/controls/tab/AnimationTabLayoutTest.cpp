// The animated tab layout: where each frame of the slide puts the layout,
// which way it slides, and how it ends.
#include <gtest/gtest.h>

#include "controls/ControlsKit.h"

namespace kvtest {
namespace {

// Notes the layout's place after every frame of the slide.
class RecordingSlide : public CAnimationTabLayoutUI {
public:
    void OnAnimationStep(int total, int current, int id) override {
        CAnimationTabLayoutUI::OnAnimationStep(total, current, id);
        frames.push_back(current);
        places.push_back(GetPos());
    }
    void OnAnimationStop(int id) override {
        CAnimationTabLayoutUI::OnAnimationStop(id);
        ++stops;
    }
    std::vector<int> frames;
    std::vector<RECT> places;
    int stops = 0;
};

CControlUI* MakeRecordingSlide() { return new RecordingSlide(); }

// Pages 300 x 200 in a window of that size, the layout at (0,0).
class Slide : public ::testing::Test {
protected:
    void Open(const std::wstring& attributes = L"") {
        CControlFactory::GetInstance()->RegistControl(L"CRecordingSlideUI", MakeRecordingSlide);
        host.Build(Skin(L"<RecordingSlide name=\"tabs\" " + attributes +
                        L"><Control bkcolor=\"#FFFF0000\"/><Control bkcolor=\"#FF00FF00\"/>"
                        L"<Control bkcolor=\"#FF0000FF\"/></RecordingSlide>"));
        slide = host.Find<RecordingSlide>(L"tabs");
        ASSERT_NE(nullptr, slide);
        // A page chosen by the skin slides in as the window first shows.
        ASSERT_TRUE(PumpUntil([&] { return !slide->IsAnimationRunning(1); }));
        ASSERT_TRUE(host.Paint());
        home = slide->GetPos();
        ASSERT_TRUE(SameRect(RECT{0, 0, 300, 200}, home)) << Show(home);
    }
    bool Finished(int stops = 1) {
        return PumpUntil([&] { return slide->stops >= stops && !slide->IsAnimationRunning(1); });
    }
    std::vector<int> Lefts() const {
        std::vector<int> lefts;
        for (const RECT& rc : slide->places) lefts.push_back(rc.left);
        return lefts;
    }

    Host host{300, 200};
    RecordingSlide* slide = nullptr;
    RECT home = {};
};

TEST_F(Slide, ToAHigherPageItComesInFromTheRightAndEndsInPlace) {
    Open();
    ASSERT_TRUE(slide->SelectItem(1));
    EXPECT_TRUE(slide->IsAnimationRunning(1));
    ASSERT_TRUE(Finished());
    std::vector<int> expectedFrames;
    for (int i = 0; i <= 15; ++i) expectedFrames.push_back(i);
    EXPECT_EQ(expectedFrames, slide->frames) << "15 frames: 16 steps";

    const std::vector<int> lefts = Lefts();
    EXPECT_EQ(300 - 52, lefts.front()) << "its own left plus its width minus 52";
    EXPECT_EQ(0, lefts.back());
    for (size_t i = 1; i < lefts.size(); ++i) {
        EXPECT_LT(lefts[i], lefts[i - 1]) << "moving leftwards, frame " << i;
        EXPECT_LE(lefts[i - 1] - lefts[i], 17) << "even steps, no jump, frame " << i;
    }
    for (const RECT& rc : slide->places) {
        EXPECT_EQ(0, rc.top);
        EXPECT_EQ(300, rc.right - rc.left) << "the layout moves whole";
    }
    EXPECT_TRUE(SameRect(home, slide->GetPos()));
    ASSERT_TRUE(host.Paint());
    EXPECT_EQ(0x00FF00u, host.Pixel(150, 100)) << "the new page in place";
}

TEST_F(Slide, ToALowerPageItComesInFromTheLeft) {
    Open(L"selectedid=\"2\"");
    slide->frames.clear();
    slide->places.clear();
    ASSERT_TRUE(slide->SelectItem(0));
    ASSERT_TRUE(Finished(2));
    const std::vector<int> lefts = Lefts();
    EXPECT_EQ(-300 + 52, lefts.front());
    EXPECT_EQ(0, lefts.back());
    for (size_t i = 1; i < lefts.size(); ++i) EXPECT_GT(lefts[i], lefts[i - 1]) << "moving rightwards, frame " << i;
}

TEST_F(Slide, AVerticalSlideComesFromAWholeHeightAway) {
    Open(L"animation_direction=\"Vertical\"");
    ASSERT_TRUE(slide->SelectItem(2));
    ASSERT_TRUE(Finished());
    EXPECT_EQ(200, slide->places.front().top) << "no 52-pixel start offset upright";
    EXPECT_EQ(0, slide->places.front().left);
    EXPECT_EQ(0, slide->places.back().top);
    for (size_t i = 1; i < slide->places.size(); ++i) {
        EXPECT_LE(slide->places[i - 1].top - slide->places[i].top, 14) << "no jump, frame " << i;
    }
}

TEST_F(Slide, ANewSelectionDuringASlideStillEndsInPlace) {
    Open();
    ASSERT_TRUE(slide->SelectItem(1));
    ASSERT_TRUE(PumpUntil([&] { return slide->frames.size() >= 5; }));
    ASSERT_FALSE(SameRect(home, slide->GetPos())) << "caught mid-slide";
    const size_t firstOfNewSlide = slide->places.size();
    ASSERT_TRUE(slide->SelectItem(2));
    ASSERT_TRUE(Finished());
    EXPECT_TRUE(SameRect(home, slide->places.back())) << Show(slide->places.back());
    EXPECT_TRUE(SameRect(home, slide->GetPos()));
    EXPECT_EQ(300 - 52, Lefts()[firstOfNewSlide]) << "the new slide starts from the layout's own place";
    EXPECT_EQ(2, slide->GetCurSel());
}

TEST_F(Slide, TheNewPageIsShownFromTheFirstFrameAndTheOthersHidden) {
    Open();
    ASSERT_TRUE(slide->SelectItem(2));
    EXPECT_FALSE(slide->GetItemAt(2)->IsVisible()) << "until the first frame";
    ASSERT_TRUE(PumpUntil([&] { return !slide->frames.empty(); }));
    EXPECT_TRUE(slide->GetItemAt(2)->IsVisible());
    EXPECT_FALSE(slide->GetItemAt(0)->IsVisible());
    const Notes::Note* note = host.notes.Last(L"tabselect");
    ASSERT_NE(nullptr, note);
    EXPECT_EQ(2u, note->wParam);
    EXPECT_EQ(0, note->lParam);
}

TEST_F(Slide, RemovingTheSlidingPageIsSafe) {
    Open();
    ASSERT_TRUE(slide->SelectItem(2));
    ASSERT_TRUE(slide->Remove(slide->GetItemAt(2)));
    ASSERT_TRUE(Finished());
    EXPECT_EQ(0, slide->GetCurSel());
}

}  // namespace
}  // namespace kvtest
