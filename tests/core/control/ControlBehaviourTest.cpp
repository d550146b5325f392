// The base control's events, delegates, texts, visibility and life in a tree.
#include <gtest/gtest.h>

#include "core/manager/ManagerTestKit.h"
#include "ui/core/Delegate.h"
#include "ui/core/ResourceManager.h"

namespace kvtest {
namespace {

struct Counter {
    Log* log;
    const char* name;
    bool answer;
    bool Call(void*) {
        log->push_back(name);
        return answer;
    }
};

TEST(EventSources, AnEqualDelegateIsAddedOnce) {
    Log log;
    Counter one{&log, "one", true};
    CEventSource source;
    EXPECT_FALSE(source.HasDelegates());
    EXPECT_TRUE(source(nullptr)) << "an empty source reports true";
    source += MakeDelegate(&one, &Counter::Call);
    source += MakeDelegate(&one, &Counter::Call);
    EXPECT_TRUE(static_cast<bool>(source));
    EXPECT_TRUE(source(nullptr));
    EXPECT_EQ((Log{"one"}), log);
}

TEST(EventSources, ADelegateReturningFalseStopsTheRest) {
    Log log;
    Counter one{&log, "one", true}, two{&log, "two", false}, three{&log, "three", true};
    CEventSource source;
    source += MakeDelegate(&one, &Counter::Call);
    source += MakeDelegate(&two, &Counter::Call);
    source += MakeDelegate(&three, &Counter::Call);
    EXPECT_FALSE(source.Invoke(nullptr));
    EXPECT_EQ((Log{"one", "two"}), log);
}

TEST(ControlEvents, OnEventDelegatesCanKeepAnEventFromTheControl) {
    Log log;
    RecordingControl control(&log, L"c");
    Counter gate{&log, "gate", false};
    control.OnEvent += MakeDelegate(&gate, &Counter::Call);
    FireEvent(control, EventButtonDown);
    EXPECT_EQ((Log{"gate"}), log);
}

TEST(ControlEvents, AContextMenuWithoutMenuReachesTheParent) {
    Log log;
    RecordingControl parent(&log, L"parent");
    RecordingControl child(&log, L"child");
    child.SetManager(nullptr, &parent, false);
    FireEvent(child, EventContextMenu);
    EXPECT_EQ((Log{"child:20", "parent:20"}), log);
}

TEST(ControlEvents, AContextMenuWithMenuBecomesAMenuNotification) {
    Log log;
    HostWindow host;
    ASSERT_TRUE(host.Open());
    auto* root = new TestContainer();
    auto* child = root->Add(new RecordingControl(&log, L"child"));
    host.manager.AttachDialog(root);
    NotifyRecorder notes(&log);
    host.manager.AddNotifier(&notes);
    child->SetContextMenuUsed(true);
    FireEvent(*child, EventContextMenu, 3);
    EXPECT_EQ((Log{"child:20", "menu:child"}), log);
    EXPECT_EQ(3u, notes.records.back().wParam);
    FireEvent(*child, EventTimer, 9);
    EXPECT_EQ("timer:child", log.back());
    host.manager.RemoveNotifier(&notes);
}

TEST(ControlText, SettingTheSameTextChangesNothingAndBracesBecomeLineFeeds) {
    CControlUI control;
    control.SetText(L"one{\\n}two");
    EXPECT_EQ(std::wstring(L"one\ntwo"), control.GetText().GetData());
    control.SetText(nullptr);
    EXPECT_TRUE(control.GetText().IsEmpty());
}

struct Provider : IQueryControlText {
    int asked = 0;
    LPCTSTR QueryControlText(LPCTSTR id, int) override {
        ++asked;
        return wcscmp(id, L"IDS_OK") == 0 ? L"OK" : L"?";
    }
};

TEST(ControlText, ResourceTextShowsTheIdWithoutAProviderAndTheCachedAnswerWithOne) {
    CControlUI control;
    control.SetAttribute(L"resourcetext", L"true");
    control.SetText(L"IDS_OK");
    EXPECT_EQ(std::wstring(L"IDS_OK"), control.GetText().GetData());
    Provider provider;
    CResourceTextRegistry::GetInstance()->SetTextProvider(&provider);
    EXPECT_EQ(std::wstring(L"OK"), control.GetText().GetData());
    EXPECT_EQ(std::wstring(L"OK"), control.GetText().GetData());
    EXPECT_EQ(1, provider.asked) << "answers are cached";
    CResourceTextRegistry::ReleaseInstance();
    EXPECT_EQ(std::wstring(L"IDS_OK"), control.GetText().GetData()) << "a fresh registry has no provider";
    CResourceTextRegistry::ReleaseInstance();
    EXPECT_EQ(nullptr, CResourceTextRegistry::GetInstance()->FindInSecondMap(L"a.png"));
    EXPECT_EQ(nullptr, CResourceTextRegistry::GetInstance()->FindInThirdMap(L"main.xml"));
}

TEST(ControlState, RelativePositionsAndInterfaces) {
    CControlUI parent;
    CControlUI child;
    child.SetManager(nullptr, &parent, false);
    parent.SetPos(RECT{100, 50, 300, 250}, false);
    child.SetPos(RECT{110, 70, 130, 80}, false);
    const RECT rel = child.GetRelativePos();
    EXPECT_EQ(10, rel.left);
    EXPECT_EQ(20, rel.top);
    EXPECT_EQ(0, parent.GetRelativePos().right) << "no parent: all zero";
    EXPECT_EQ(&parent, parent.GetInterface(L"control"));
    EXPECT_EQ(nullptr, parent.GetInterface(L"Button"));
    EXPECT_STREQ(L"ControlUI", parent.GetClass());
    child.SetPos(RECT{50, 50, 40, 40}, false);
    EXPECT_EQ(50, child.GetPos().right) << "a rectangle is normalised";
    child.SetManager(nullptr, nullptr, false);
}

class InWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(host.Open());
        root = new TestContainer();
        inner = root->Add(Place(new TestContainer(L"inner"), 10, 10, 100, 100));
        leaf = inner->Add(Place(new RecordingControl(nullptr, L"leaf", UIFLAG_TABSTOP), 10, 10, 20, 20));
        ASSERT_TRUE(host.manager.AttachDialog(root));
        root->SetPos(RECT{0, 0, 300, 200}, false);
        ValidateRect(host, nullptr);
    }
    bool Invalid() {
        RECT rc;
        return GetUpdateRect(host, &rc, FALSE) != FALSE;
    }
    HostWindow host;
    TestContainer* root = nullptr;
    TestContainer* inner = nullptr;
    RecordingControl* leaf = nullptr;
};

TEST_F(InWindow, AnInternallyHiddenControlIsNotRepainted) {
    // Only shown windows keep an update region.
    ShowWindow(host, SW_SHOWNOACTIVATE);
    ValidateRect(host, nullptr);
    leaf->Invalidate();
    EXPECT_TRUE(Invalid());
    ValidateRect(host, nullptr);
    leaf->SetInternVisible(false);
    leaf->Invalidate();
    EXPECT_FALSE(Invalid());
}

TEST_F(InWindow, HidingAParentsFocusedChildClearsTheFocus) {
    leaf->SetFocus();
    ASSERT_EQ(leaf, host.manager.GetFocus());
    leaf->SetInternVisible(false);
    EXPECT_EQ(nullptr, host.manager.GetFocus());
}

TEST_F(InWindow, ADyingControlLeavesNoTraceInTheManager) {
    leaf->SetFocus();
    host.manager.SetTimer(leaf, 1, 1000);
    SendMessageW(host, WM_MOUSEMOVE, 0, At(25, 25));
    inner->Detach(leaf);
    delete leaf;
    EXPECT_EQ(nullptr, host.manager.GetFocus());
    EXPECT_EQ(nullptr, host.manager.FindControl(L"leaf"));
    SendMessageW(host, WM_TIMER, 17, 0);
    SendMessageW(host, WM_MOUSEMOVE, 0, At(26, 25));
    SUCCEED();
}

TEST_F(InWindow, MovingAndSizingMarkTheParentForLayout) {
    inner->SetPos(inner->GetPos(), false);
    root->SetPos(root->GetPos(), false);
    leaf->SetFixedWidth(25);
    EXPECT_TRUE(inner->IsUpdateNeeded());
    EXPECT_TRUE(host.manager.IsUpdateNeeded());
    inner->SetPos(inner->GetPos(), false);
    leaf->Move(5, 5);
    EXPECT_EQ(15, leaf->GetFixedXY().cx);
    EXPECT_TRUE(inner->IsUpdateNeeded());
}

TEST_F(InWindow, OnSizeRunsForEveryNewPosition) {
    Log log;
    Counter sized{&log, "size", true};
    leaf->OnSize += MakeDelegate(&sized, &Counter::Call);
    leaf->SetPos(RECT{0, 0, 5, 5}, false);
    EXPECT_EQ((Log{"size"}), log);
}

TEST_F(InWindow, SizesScaleWithTheWindow) {
    host.manager.GetScaler()->SetDPI(144);
    leaf->SetAttribute(L"width", L"100");
    EXPECT_EQ(150, leaf->GetFixedWidth());
    leaf->SetAttribute(L"padding", L"2,2,2,2");
    EXPECT_EQ(3, leaf->GetPadding().left);
    host.manager.GetScaler()->SetDPI(96);
}

TEST_F(InWindow, AControlOfTheTreeTakesTheFocusOnlyWhenVisibleAndEnabled) {
    leaf->SetEnabled(false);
    leaf->SetFocus();
    EXPECT_EQ(nullptr, host.manager.GetFocus());
    EXPECT_FALSE(leaf->Activate());
    leaf->SetEnabled(true);
    EXPECT_TRUE(leaf->Activate());
}

}  // namespace
}  // namespace kvtest
