// Notification maps: by type and control name, through the base class's map,
// and through named virtual windows.
#include <gtest/gtest.h>

#include "core/manager/ManagerTestKit.h"
#include "ui/core/NotifyPump.h"

namespace kvtest {
namespace {

class BasePump : public CNotifyPump {
public:
    Log log;
    void OnBaseSelect(TUINotify&) { log.push_back("base-select"); }
    KVUI_DECLARE_NOTIFY_MAP()
};

KVUI_BEGIN_NOTIFY_MAP(BasePump, CNotifyPump)
KVUI_ON_NOTIFY(L"selectchanged", L"", OnBaseSelect)
KVUI_END_NOTIFY_MAP()

class FramePump : public BasePump {
public:
    void OnAnyClick(TUINotify& msg) { log.push_back("any-click:" + Name(msg.sender)); }
    void OnOk(TUINotify&) { log.push_back("ok"); }
    void OnValue(WPARAM wParam, LPARAM lParam) {
        log.push_back("value:" + std::to_string(wParam) + "," + std::to_string(lParam));
    }
    void AddVirtualWindow(LPCTSTR name, CNotifyPump* pump) { m_virtualWnds.Insert(name, pump); }
    KVUI_DECLARE_NOTIFY_MAP()
};

// The named entry comes after the any-control entry and still wins.
KVUI_BEGIN_NOTIFY_MAP(FramePump, BasePump)
KVUI_ON_NOTIFY(L"click", L"", OnAnyClick)
KVUI_ON_NOTIFY(L"click", L"btn_ok", OnOk)
KVUI_ON_NOTIFY_PARAMS(L"valuechanged", L"slider", OnValue)
KVUI_END_NOTIFY_MAP()

TUINotify Note(LPCTSTR type, CControlUI* sender, WPARAM wParam = 0, LPARAM lParam = 0) {
    TUINotify msg;
    msg.type = type;
    msg.sender = sender;
    msg.wParam = wParam;
    msg.lParam = lParam;
    return msg;
}

class Pumps : public ::testing::Test {
protected:
    Pumps() {
        ok.SetName(L"btn_ok");
        other.SetName(L"btn_other");
        slider.SetName(L"slider");
    }
    CControlUI ok;
    CControlUI other;
    CControlUI slider;
    FramePump frame;
};

TEST_F(Pumps, ANamedEntryWinsOverTheAnyControlEntry) {
    TUINotify click = Note(L"click", &ok);
    EXPECT_TRUE(frame.NotifyPump(click));
    TUINotify otherClick = Note(L"click", &other);
    EXPECT_TRUE(frame.NotifyPump(otherClick));
    EXPECT_EQ((Log{"ok", "any-click:btn_other"}), frame.log);
}

TEST_F(Pumps, TypesAndNamesCompareWithCase) {
    TUINotify shouting = Note(L"CLICK", &ok);
    EXPECT_FALSE(frame.NotifyPump(shouting));
    other.SetName(L"BTN_OK");
    TUINotify click = Note(L"click", &other);
    frame.NotifyPump(click);
    EXPECT_EQ((Log{"any-click:BTN_OK"}), frame.log);
}

TEST_F(Pumps, ParameterHandlersGetWParamAndLParam) {
    TUINotify value = Note(L"valuechanged", &slider, 3, 4);
    EXPECT_TRUE(frame.NotifyPump(value));
    EXPECT_EQ((Log{"value:3,4"}), frame.log);
}

TEST_F(Pumps, TheBaseClassMapIsAskedWhenTheClassHasNoEntry) {
    TUINotify select = Note(L"selectchanged", &ok);
    EXPECT_TRUE(frame.NotifyPump(select));
    TUINotify unknown = Note(L"itemexpand", &ok);
    EXPECT_FALSE(frame.NotifyPump(unknown));
    EXPECT_EQ((Log{"base-select"}), frame.log);
}

TEST_F(Pumps, ANotificationWithoutSenderReachesOnlyAnyControlEntries) {
    TUINotify orphan = Note(L"click", nullptr);
    EXPECT_TRUE(frame.NotifyPump(orphan));
    TUINotify orphanValue = Note(L"valuechanged", nullptr);
    EXPECT_FALSE(frame.NotifyPump(orphanValue));
    EXPECT_EQ((Log{"any-click:(null)"}), frame.log);
}

TEST_F(Pumps, AVirtualWindowNameRoutesToItsPumpFirst) {
    FramePump pane;
    frame.AddVirtualWindow(L"Pane", &pane);
    TUINotify click = Note(L"click", &ok);
    click.virtualWindow = L"pane";
    EXPECT_TRUE(frame.NotifyPump(click));
    EXPECT_EQ((Log{"ok"}), pane.log);
    EXPECT_TRUE(frame.log.empty());
    TUINotify unknown = Note(L"click", &ok);
    unknown.virtualWindow = L"elsewhere";
    frame.NotifyPump(unknown);
    EXPECT_EQ((Log{"ok"}), frame.log) << "no such virtual window: the pump's own map";
}

}  // namespace
}  // namespace kvtest
