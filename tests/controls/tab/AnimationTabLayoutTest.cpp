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

// Frames 0 to 14 each move the layout by a fifteenth of its extent from
// where the slide starts; frame 15 puts it back on its own place.
std::vector<int> ExpectedSlide(int start, int step) {
    std::vector<int> places;
    for (int frame = 0; frame < 15; ++frame) places.push_back(start + (frame + 1) * step);
    places.push_back(0);
    return places;
}

TEST_F(Slide, ToAHigherPageItComesInFromTheRightAndEndsInPlace) {
    Open();
    ASSERT_TRUE(slide->SelectItem(1));
    EXPECT_TRUE(slide->IsAnimationRunning(1));
    ASSERT_TRUE(Finished());
    std::vector<int> expectedFrames;
    for (int i = 0; i <= 15; ++i) expectedFrames.push_back(i);
    EXPECT_EQ(expectedFrames, slide->frames) << "15 frames: 16 steps";
    EXPECT_EQ(ExpectedSlide(300 - 52, -20), Lefts()) << "from its own left plus its width minus 52, leftwards";
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
    EXPECT_EQ(ExpectedSlide(-300 + 52, 20), Lefts()) << "from its own left minus its width plus 52, rightwards";
}

TEST_F(Slide, AVerticalSlideComesFromAWholeHeightAwayInTruncatedSteps) {
    Open(L"animation_direction=\"Vertical\"");
    ASSERT_TRUE(slide->SelectItem(2));
    ASSERT_TRUE(Finished());
    std::vector<int> tops;
    for (const RECT& rc : slide->places) {
        tops.push_back(rc.top);
        EXPECT_EQ(0, rc.left);
    }
    EXPECT_EQ(ExpectedSlide(200, -13), tops) << "no 52-pixel offset upright; 200 / 15 truncates to 13";
}

TEST_F(Slide, ANewSelectionDuringASlideStartsWhereTheLayoutIsAndEndsInPlace) {
    Open();
    ASSERT_TRUE(slide->SelectItem(1));
    ASSERT_TRUE(PumpUntil([&] { return slide->frames.size() >= 5; }));
    const RECT caught = slide->GetPos();
    ASSERT_FALSE(SameRect(home, caught)) << "caught mid-slide";
    const size_t firstOfNewSlide = slide->places.size();
    ASSERT_TRUE(slide->SelectItem(2));
    ASSERT_TRUE(Finished());
    EXPECT_EQ(caught.left + 300 - 52 - 20, Lefts()[firstOfNewSlide]) << "the new slide starts from that moment's place";
    ASSERT_TRUE(host.Paint());
    EXPECT_TRUE(SameRect(home, slide->GetPos())) << "the layout is laid out again: " << Show(slide->GetPos());
    EXPECT_EQ(0x0000FFu, host.Pixel(150, 100));
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

TEST(SlideWithoutWindow, APageChosenWhileTheSkinIsBuiltShowsAtOnce) {
    CDialogBuilder builder;
    CControlUI* root = builder.Create(
        Skin(L"<AnimationTabLayout name=\"tabs\" selectedid=\"1\"><Control bkcolor=\"#FFFF0000\"/>"
             L"<Control bkcolor=\"#FF0000FF\"/></AnimationTabLayout>")
            .c_str());
    ASSERT_NE(nullptr, root);
    Host host(300, 200);
    host.Attach(root);
    auto* tabs = host.Find<CAnimationTabLayoutUI>(L"tabs");
    ASSERT_NE(nullptr, tabs);
    EXPECT_EQ(1, tabs->GetCurSel());
    EXPECT_TRUE(tabs->GetItemAt(1)->IsVisible());
    EXPECT_FALSE(tabs->GetItemAt(0)->IsVisible());
    EXPECT_EQ(0x0000FFu, host.Pixel(150, 100));
}

}  // namespace
}  // namespace kvtest
