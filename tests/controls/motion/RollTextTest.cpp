// The roll text: it measures on the first paint, then moves one step on each
// tick of its timer (never on a paint) in its direction, and ends its roll
// with "textrollend".
#include <gtest/gtest.h>

#include "controls/ControlsKit.h"
#include "ui/controls/RollTextUI.h"

namespace kvtest {
namespace {

constexpr DWORD kInk = 0x0000FF;

// The text's bounding box inside the control, from the pixels painted.
struct Box {
    int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN;
    bool Empty() const { return left == INT_MAX; }
};

class RollText : public ::testing::Test {
protected:
    void Open() {
        // 200 x 100 at (50, 50): room on every side, so a clipped text shows.
        host.Build(Skin(L"<Control height=\"50\"/><HorizontalLayout height=\"100\"><Control width=\"50\"/>"
                        L"<RollText name=\"r\" width=\"200\" text=\"Roll\" textcolor=\"#FF0000FF\"/>"
                        L"</HorizontalLayout>"));
        roll = host.Find<CRollTextUI>(L"r");
        ASSERT_NE(nullptr, roll);
    }
    void Tick(UINT id, int times = 1) {
        for (int i = 0; i < times; ++i) {
            TUIEvent event;
            event.type = EventTimer;
            event.wParam = id;
            roll->Event(event);
        }
    }
    Box Ink() {
        EXPECT_TRUE(host.Paint());
        Box box;
        for (int y = 0; y < 200; ++y) {
            for (int x = 0; x < 300; ++x) {
                if (host.Pixel(x, y) != kInk) continue;
                box.left = std::min(box.left, x);
                box.right = std::max(box.right, x);
                box.top = std::min(box.top, y);
                box.bottom = std::max(box.bottom, y);
            }
        }
        return box;
    }

    Host host{300, 200};
    CRollTextUI* roll = nullptr;
};

struct Roll {
    CRollTextUI::Direction direction;
    int firstTicks, laterTicks;  // both leave the text whole inside the control
    int dx, dy;                  // the move per tick
};

class RollDirection : public RollText, public ::testing::WithParamInterface<Roll> {};

// Every direction crosses the whole area: the text is whole inside it at
// offsets from its own size to the area's.
TEST_P(RollDirection, MovesFivePixelsPerTickAndNotOnPaints) {
    const Roll roll_ = GetParam();
    Open();
    roll->SetDirection(roll_.direction);
    EXPECT_TRUE(Ink().Empty()) << "the first paint only measures";
    Tick(CRollTextUI::kRollTimer, roll_.firstTicks);
    const Box first = Ink();
    ASSERT_FALSE(first.Empty());
    EXPECT_GE(first.left, 50);
    EXPECT_LE(first.right, 249);
    const Box repainted = Ink();
    EXPECT_EQ(first.left, repainted.left) << "a paint does not move the text";
    EXPECT_EQ(first.top, repainted.top);

    Tick(CRollTextUI::kRollTimer, roll_.laterTicks - roll_.firstTicks);
    const Box later = Ink();
    const int ticks = roll_.laterTicks - roll_.firstTicks;
    EXPECT_EQ(first.left + roll_.dx * ticks, later.left);
    EXPECT_EQ(first.top + roll_.dy * ticks, later.top);
}

INSTANTIATE_TEST_SUITE_P(Directions, RollDirection,
                         ::testing::Values(Roll{CRollTextUI::RollLeft, 12, 20, -5, 0},
                                           Roll{CRollTextUI::RollRight, 12, 20, 5, 0},
                                           Roll{CRollTextUI::RollUp, 6, 12, 0, -5},
                                           Roll{CRollTextUI::RollDown, 6, 12, 0, 5}));

TEST_F(RollText, TheTextLeavesAndStartsAgainAfterTheWholeTravel) {
    Open();
    Ink();
    const Box start = [&] {
        Tick(CRollTextUI::kRollTimer, 12);
        return Ink();
    }();
    // The travel is the width plus the text's: the same place comes back
    // after one cycle of (200 + width) / 5 + 1 ticks.
    const int width = start.right - start.left + 1;
    int ticks = 0;
    Box box;
    do {
        Tick(CRollTextUI::kRollTimer);
        ++ticks;
        box = Ink();
    } while ((box.Empty() || box.left != start.left) && ticks < 200);
    EXPECT_GE(ticks, (200 + width) / 5);
    EXPECT_LE(ticks, (200 + width + 40) / 5 + 1);
}

TEST_F(RollText, TheEndTimerSendsTextRollEndThenTimerAndTheRollGoesOn) {
    Open();
    int rollTicks = 0;
    struct Counter {
        int* ticks;
        bool OnEvent(void* param) {
            const auto* event = static_cast<TUIEvent*>(param);
            if (event->type == EventTimer && event->wParam == CRollTextUI::kRollTimer) ++*ticks;
            return true;
        }
    } counter{&rollTicks};
    roll->OnEvent += MakeDelegate(&counter, &Counter::OnEvent);
    ASSERT_TRUE(host.manager.SetTimer(roll, CRollTextUI::kRollTimer, 20));
    ASSERT_TRUE(host.manager.SetTimer(roll, CRollTextUI::kRollEndTimer, 60));
    ASSERT_TRUE(PumpUntil([&] { return host.notes.Count(L"textrollend") == 1; }));
    const int ticksAtEnd = rollTicks;
    ASSERT_TRUE(PumpUntil([&] { return rollTicks >= ticksAtEnd + 3; }));
    EXPECT_EQ(1, host.notes.Count(L"textrollend")) << "the end timer fired once";

    size_t end = 0;
    while (host.notes.notes[end].type != L"textrollend") ++end;
    ASSERT_LT(end + 1, host.notes.notes.size());
    EXPECT_EQ(L"timer", host.notes.notes[end + 1].type);
    EXPECT_EQ(static_cast<WPARAM>(CRollTextUI::kRollEndTimer), host.notes.notes[end + 1].wParam);
    host.manager.KillTimer(roll, CRollTextUI::kRollTimer);
}

}  // namespace
}  // namespace kvtest
