// Frame animation: start refusals, the frames a run steps through, looping,
// stopping, and hooks that stop or restart their own animation.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "controls/ControlsKit.h"
#include "ui/controls/UIAnimation.h"

namespace kvtest {
namespace {

// A control that animates: forwards its timers and notes every hook.
class Animated : public CControlUI, public CUIAnimation {
public:
    Animated() : CUIAnimation(this) {}
    ~Animated() override { StopAnimation(0); }

    void DoEvent(TUIEvent& event) override {
        if (event.type == EventTimer) OnAnimationElapse(static_cast<int>(event.wParam));
    }
    void OnAnimationStart(int id, bool firstLoop) override {
        log.push_back("start" + std::to_string(id) + (firstLoop ? "first" : ""));
        if (onStart) onStart(id);
    }
    void OnAnimationStep(int total, int current, int id) override {
        (void)total;
        steps.push_back(current);
        if (onStep) onStep(current, id);
    }
    void OnAnimationStop(int id) override {
        log.push_back("stop" + std::to_string(id));
        if (onStop) onStop(id);
    }

    std::vector<std::string> log;
    std::vector<int> steps;
    std::function<void(int)> onStart;
    std::function<void(int, int)> onStep;
    std::function<void(int)> onStop;
};

class Animation : public ::testing::Test {
protected:
    void SetUp() override {
        auto* root = new CVerticalLayoutUI();
        animated = new Animated();
        root->Add(animated);
        host.Attach(root);
    }
    std::vector<int> Frames(int from, int to) const {
        std::vector<int> frames;
        for (int i = from; i <= to; ++i) frames.push_back(i);
        return frames;
    }

    Host host{100, 100};
    Animated* animated = nullptr;
};

TEST_F(Animation, ARunStepsThroughEveryFrameAndStopsOnce) {
    ASSERT_TRUE(animated->StartAnimation(1, 30, 7));
    EXPECT_TRUE(animated->IsAnimationRunning(7));
    EXPECT_EQ(0, animated->GetCurrentFrame(7));
    ASSERT_TRUE(PumpUntil([&] { return !animated->IsAnimationRunning(7); }));
    EXPECT_EQ(Frames(0, 30), animated->steps);
    EXPECT_EQ((std::vector<std::string>{"start7first", "stop7"}), animated->log);
    EXPECT_EQ(-1, animated->GetCurrentFrame(7));
}

TEST_F(Animation, StartingARunningIdFailsAndLeavesItAlone) {
    ASSERT_TRUE(animated->StartAnimation(1, 5, 3));
    EXPECT_FALSE(animated->StartAnimation(1, 50, 3));
    ASSERT_TRUE(PumpUntil([&] { return !animated->IsAnimationRunning(3); }));
    EXPECT_EQ(Frames(0, 5), animated->steps) << "the first run's five frames";
}

TEST_F(Animation, NoFramesNoIntervalOrNoWindowIsRefused) {
    EXPECT_FALSE(animated->StartAnimation(10, 0, 1));
    EXPECT_FALSE(animated->StartAnimation(0, 10, 1));
    EXPECT_FALSE(animated->StartAnimation(-5, 10, 1));
    EXPECT_FALSE(animated->IsAnimationRunning(1));

    Animated detached;
    EXPECT_FALSE(detached.StartAnimation(10, 10, 1)) << "no manager, no timer";
    CUIAnimation ownerless(nullptr);
    EXPECT_FALSE(ownerless.StartAnimation(10, 10, 1));
}

TEST_F(Animation, TheCurrentFrameCanBeSetWithinTheRun) {
    ASSERT_TRUE(animated->StartAnimation(1000, 30, 2));
    EXPECT_TRUE(animated->SetCurrentFrame(30, 2));
    EXPECT_EQ(30, animated->GetCurrentFrame(2));
    EXPECT_FALSE(animated->SetCurrentFrame(31, 2));
    EXPECT_FALSE(animated->SetCurrentFrame(-1, 2));
    EXPECT_FALSE(animated->SetCurrentFrame(1, 9)) << "no such animation";
    EXPECT_EQ(30, animated->GetCurrentFrame(2));
}

TEST_F(Animation, ALoopRunsFromOneAfterTheFirstRoundAndStartsOnce) {
    ASSERT_TRUE(animated->StartAnimation(1, 3, 4, true));
    ASSERT_TRUE(PumpUntil([&] { return animated->steps.size() >= 10; }));
    animated->StopAnimation(4);
    EXPECT_FALSE(animated->IsAnimationRunning(4));
    EXPECT_EQ((std::vector<int>{0, 1, 2, 3, 1, 2, 3, 1, 2, 3}),
              std::vector<int>(animated->steps.begin(), animated->steps.begin() + 10));
    EXPECT_EQ("start4first", animated->log.front());
    EXPECT_EQ(1, std::count(animated->log.begin(), animated->log.end(), "start4first"));
    EXPECT_EQ(0, std::count(animated->log.begin(), animated->log.end(), "start4"));
}

TEST_F(Animation, StoppingIdZeroStopsEveryAnimation) {
    ASSERT_TRUE(animated->StartAnimation(1000, 5, 1));
    ASSERT_TRUE(animated->StartAnimation(1000, 5, 2));
    animated->StopAnimation(0);
    EXPECT_FALSE(animated->IsAnimationRunning(1));
    EXPECT_FALSE(animated->IsAnimationRunning(2));
    EXPECT_TRUE(animated->StartAnimation(1, 2, 1)) << "the id is free again";
}

TEST_F(Animation, AStepHookMayStopItsOwnAnimation) {
    animated->onStep = [&](int current, int id) {
        if (current == 3) animated->StopAnimation(id);
    };
    ASSERT_TRUE(animated->StartAnimation(1, 30, 5));
    ASSERT_TRUE(PumpUntil([&] { return !animated->IsAnimationRunning(5); }));
    // Another run on the same interval, started later, going to its end: had
    // the stopped run's timer survived, it would have stepped again by then.
    ASSERT_TRUE(animated->StartAnimation(1, 2, 6));
    ASSERT_TRUE(PumpUntil([&] { return !animated->IsAnimationRunning(6); }));
    EXPECT_EQ((std::vector<int>{0, 1, 2, 3, 0, 1, 2}), animated->steps);
    EXPECT_EQ((std::vector<std::string>{"start5first", "start6first", "stop6"}), animated->log)
        << "stopped, not ended";
}

TEST_F(Animation, AStopHookMayRestartItsOwnAnimation) {
    int runs = 0;
    animated->onStop = [&](int id) {
        if (++runs == 1) {
            animated->StopAnimation(id);
            animated->StartAnimation(1, 2, id);
        }
    };
    ASSERT_TRUE(animated->StartAnimation(1, 2, 6));
    ASSERT_TRUE(PumpUntil([&] { return runs == 2; }));
    EXPECT_FALSE(animated->IsAnimationRunning(6));
    EXPECT_EQ((std::vector<int>{0, 1, 2, 0, 1, 2}), animated->steps) << "the second run has every frame of its own";
    EXPECT_EQ((std::vector<std::string>{"start6first", "stop6", "start6first", "stop6"}), animated->log);
}

TEST_F(Animation, AStartHookMayRestartItsOwnAnimation) {
    int starts = 0;
    animated->onStart = [&](int id) {
        if (++starts == 1) {
            animated->StopAnimation(id);
            animated->StartAnimation(1, 1, id);
        }
    };
    ASSERT_TRUE(animated->StartAnimation(1, 5, 8));
    ASSERT_TRUE(PumpUntil([&] { return !animated->IsAnimationRunning(8); }));
    EXPECT_EQ((std::vector<int>{0, 1}), animated->steps) << "only the new run's frames are stepped";
    EXPECT_EQ(2, starts);
}

}  // namespace
}  // namespace kvtest
