// The fade button cross-fades between its normal and hot images in steps
// driven by its timers; the ring turns its image by 36 degrees a tick.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "controls/ControlsKit.h"
#include "ui/controls/FadeButtonUI.h"
#include "ui/controls/RingUI.h"
#include "win/GdiOwners.h"

namespace kvtest {
namespace {

constexpr DWORD kRed = 0xFF0000;
constexpr DWORD kBlue = 0x0000FF;

class Images : public ::testing::Environment {
public:
    void SetUp() override {
        MakeImage("red.png", {"-size", "40x40", "xc:red"});
        MakeImage("blue.png", {"-size", "40x40", "xc:blue"});
        // Red on the left, blue on the right: a half turn swaps them.
        MakeImage("halves.png", {"-size", "20x40", "xc:red", "-size", "20x40", "xc:blue", "+append"});
        UseWorkFolder();
    }
};
const auto* const kImages = ::testing::AddGlobalTestEnvironment(new Images);

// The colours the button shows, one per paint, from now until its fades end.
class FadeButton : public ::testing::Test {
protected:
    void SetUp() override {
        host.Build(Skin(L"<HorizontalLayout height=\"40\"><FadeButton name=\"f\" width=\"40\" "
                        L"normalimage=\"red.png\" hotimage=\"blue.png\"/><Control/></HorizontalLayout>"));
        button = host.Find<CFadeButtonUI>(L"f");
        ASSERT_NE(nullptr, button);
        ASSERT_EQ(kRed, host.Pixel(20, 20));
    }
    bool Fading() {
        return button->IsAnimationRunning(CFadeButtonUI::kFadeIn) ||
               button->IsAnimationRunning(CFadeButtonUI::kFadeOut);
    }
    std::vector<DWORD> WatchFade() {
        std::vector<DWORD> seen;
        int paints = host.Paints();
        EXPECT_TRUE(PumpUntil([&] {
            if (host.Paints() != paints) {
                paints = host.Paints();
                seen.push_back(host.Pixel(20, 20));
            }
            return !Fading() && !GetUpdateRect(host.GetHWND(), nullptr, FALSE);
        }));
        if (seen.empty() || seen.back() != host.Pixel(20, 20)) seen.push_back(host.Pixel(20, 20));
        return seen;
    }

    Host host{200, 40};
    CFadeButtonUI* button = nullptr;
};

TEST_F(FadeButton, EnteringShowsTheOldPictureThenBlendsStepByStepToTheHotOne) {
    const DWORD start = GetTickCount();
    host.Move(20, 20);
    const std::vector<DWORD> seen = WatchFade();
    const DWORD elapsed = GetTickCount() - start;
    ASSERT_GE(seen.size(), 3u);
    EXPECT_EQ(kRed, seen.front()) << "the old picture once";
    EXPECT_EQ(kBlue, seen.back()) << "rests on the hot picture";
    int blends = 0;
    for (size_t i = 1; i < seen.size(); ++i) {
        const int red = (seen[i] >> 16) & 0xFF;
        const int blue = seen[i] & 0xFF;
        blends += red > 0 && blue > 0;
        // The first frame is raised to alpha 10, a little above the second.
        EXPECT_LE(red, static_cast<int>((seen[i - 1] >> 16) & 0xFF) + 3) << "red only fades";
    }
    EXPECT_GT(blends, 0);
    EXPECT_GE(elapsed, 250u) << "30 frames 10 ms apart";
}

TEST_F(FadeButton, LeavingDuringTheFadeInFadesOutFromTheHotPicture) {
    host.Move(20, 20);
    host.Move(100, 20);
    EXPECT_FALSE(button->IsAnimationRunning(CFadeButtonUI::kFadeIn));
    const std::vector<DWORD> seen = WatchFade();
    // The fade-out starts at alpha 0: the hot picture whole, then blends back.
    EXPECT_NE(seen.end(), std::find(seen.begin(), seen.end(), kBlue));
    EXPECT_EQ(kRed, seen.back());
}

// The ring's own timer, `ticks` times.
void Tick(CRingUI& ring, int ticks) {
    for (int i = 0; i < ticks; ++i) {
        TUIEvent event;
        event.type = EventTimer;
        event.wParam = CRingUI::kTurnTimer;
        ring.DoEvent(event);
    }
}

class Ring : public ::testing::Test {
protected:
    CRingUI* Open(LPCTSTR image) {
        host.Build(Skin(L"<HorizontalLayout height=\"40\"><Ring name=\"r\" width=\"40\" bkimage=\"" +
                        std::wstring(image) + L"\"/><Control/></HorizontalLayout>"));
        ring = host.Find<CRingUI>(L"r");
        ring->OnEvent += MakeDelegate(this, &Ring::OnEvent);
        return ring;
    }
    void Turn(int ticks) {
        Tick(*ring, ticks);
        EXPECT_TRUE(host.Paint());
    }
    bool OnEvent(void* param) {
        const auto* event = static_cast<TUIEvent*>(param);
        if (event->type == EventTimer) ++(event->wParam == CRingUI::kTurnTimer ? turns : witness);
        return true;
    }

    Host host{200, 40};
    CRingUI* ring = nullptr;
    int turns = 0;
    int witness = 0;
};

TEST_F(Ring, TurnsByATenthEveryTickAndComesRoundAgain) {
    ASSERT_NE(nullptr, Open(L"halves.png"));
    EXPECT_EQ(kRed, host.Pixel(5, 20));
    // 5 ticks: 180 degrees; 10: 360; 15: 180 again (the angle restarts at 36).
    const std::vector<DWORD> leftSide = {kBlue, kRed, kBlue};
    for (DWORD expected : leftSide) {
        Turn(5);
        EXPECT_EQ(expected, host.Pixel(5, 20));
        EXPECT_NE(expected, host.Pixel(34, 20));
    }
    ASSERT_TRUE(PumpUntil([&] { return turns >= 2; })) << "its own 100 ms timer runs";
}

TEST_F(Ring, AnImageThatCannotBeLoadedDrawsNothingAndStartsNoTimer) {
    ASSERT_NE(nullptr, Open(L"missing.png"));
    EXPECT_EQ(0xFFFFFFu, host.Pixel(20, 20));
    ASSERT_TRUE(host.manager.SetTimer(ring, 101, 150));
    ASSERT_TRUE(PumpUntil([&] { return witness >= 2; }));
    EXPECT_EQ(0, turns);
}

TEST(RingAlone, TurnsAndPaintsWithoutAWindowAndIsDestroyedSafely) {
    // GDI+ runs while a paint manager lives; the ring belongs to none.
    const CPaintManagerUI gdiplusUser;
    auto ring = std::make_unique<CRingUI>();
    ring->SetAttribute(L"bkimage", L"halves.png");
    ring->SetPos(RECT{0, 0, 40, 40});
    Tick(*ring, 5);
    const kvwin::MemoryDib canvas(nullptr, 40, 40);
    ASSERT_TRUE(canvas.Ready());
    ring->PaintBkImage(canvas.dc());
    GdiFlush();
    EXPECT_EQ(kBlue, canvas.pixels()[20 * 40 + 5] & 0xFFFFFF) << "turned half round";
    EXPECT_EQ(kRed, canvas.pixels()[20 * 40 + 34] & 0xFFFFFF);
    ring.reset();
}

}  // namespace
}  // namespace kvtest
