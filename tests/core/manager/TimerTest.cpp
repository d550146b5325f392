// Control timers share the window's timer ids: which id each timer gets.
#include <gtest/gtest.h>

#include "core/manager/ManagerTestKit.h"

namespace kvtest {
namespace {

class Timers : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(host.Open());
        root = new TestContainer();
        ASSERT_TRUE(host.manager.AttachDialog(root));
    }
    RecordingControl* NewControl() { return root->Add(new RecordingControl(nullptr, L"")); }

    // The control timer that a window timer id reaches, or none; each timer's
    // own id is its owner's index in `controls`.
    int Owner(UINT windowTimerId) {
        for (auto* control : controls) control->events.clear();
        SendMessageW(host, WM_TIMER, windowTimerId, 0);
        for (size_t i = 0; i < controls.size(); ++i) {
            if (!controls[i]->events.empty()) return static_cast<int>(controls[i]->events.back().wParam);
        }
        return -1;
    }
    bool StartTimers(int count) {
        for (int i = 0; i < count; ++i) {
            controls.push_back(NewControl());
            if (!host.manager.SetTimer(controls.back(), static_cast<UINT>(controls.size() - 1), 60000)) return false;
        }
        return true;
    }

    HostWindow host;
    TestContainer* root = nullptr;
    std::vector<RecordingControl*> controls;
};

TEST_F(Timers, IdsStartAt17AndCount) {
    ASSERT_TRUE(StartTimers(3));
    EXPECT_EQ(0, Owner(17));
    EXPECT_EQ(1, Owner(18));
    EXPECT_EQ(2, Owner(19));
    EXPECT_EQ(-1, Owner(20));
}

TEST_F(Timers, AKilledTimerRestartsUnderItsOldIdAndARunningOneCannotStartTwice) {
    ASSERT_TRUE(StartTimers(2));
    EXPECT_FALSE(host.manager.SetTimer(controls[0], 0, 100));
    EXPECT_TRUE(host.manager.KillTimer(controls[0], 0));
    EXPECT_FALSE(host.manager.KillTimer(controls[0], 0));
    EXPECT_EQ(-1, Owner(17)) << "a killed timer delivers nothing";
    EXPECT_TRUE(host.manager.SetTimer(controls[0], 0, 100));
    EXPECT_EQ(0, Owner(17));
    EXPECT_FALSE(host.manager.KillTimer(controls[1], 5));
}

TEST_F(Timers, IdsWrapToZeroAfter239) {
    ASSERT_TRUE(StartTimers(224));
    EXPECT_EQ(222, Owner(239));
    EXPECT_EQ(223, Owner(0));
}

TEST_F(Timers, IdsTheWindowUsesItselfAreNeverGiven) {
    // The client's main window runs its own timers 101 to 103.
    for (UINT id = 101; id <= 103; ++id) host.manager.ReserveWindowTimerId(id);
    ASSERT_TRUE(StartTimers(85));
    EXPECT_EQ(83, Owner(100));
    EXPECT_EQ(84, Owner(104));
    for (UINT id = 101; id <= 103; ++id) EXPECT_EQ(-1, Owner(id));
}

TEST_F(Timers, AfterWrappingIdsOfLiveTimersAreSkipped) {
    ASSERT_TRUE(StartTimers(240));
    EXPECT_EQ(223, Owner(0));
    EXPECT_EQ(239, Owner(16));
    // Every id is taken: a new timer is refused rather than doubled up.
    auto* extra = NewControl();
    EXPECT_FALSE(host.manager.SetTimer(extra, 1, 100));
    // Freeing one id makes exactly that id available again.
    host.manager.KillControlTimers(controls[5]);
    EXPECT_TRUE(host.manager.SetTimer(extra, 1, 100));
    controls.push_back(extra);
    EXPECT_EQ(1, Owner(22)) << "the id the removed timer held";
}

TEST_F(Timers, ADyingControlTakesItsTimersWithIt) {
    ASSERT_TRUE(StartTimers(2));
    root->Detach(controls[0]);
    delete controls[0];
    controls.erase(controls.begin());
    EXPECT_EQ(-1, Owner(17));
    EXPECT_EQ(1, Owner(18));
}

}  // namespace
}  // namespace kvtest
