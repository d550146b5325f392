// Notifications: synchronous delivery order, the asynchronous queue on 0x8001,
// delayed clean-up, and the tree's name registry.
#include <gtest/gtest.h>

#include "core/manager/ManagerTestKit.h"
#include "ui/core/Delegate.h"

namespace kvtest {
namespace {

struct Listener : INotifyUI {
    Listener(Log* log, const char* name) : log(log), name(name) {}
    void Notify(TUINotify& msg) override {
        log->push_back(std::string(name) + ":" + Narrow(msg.type.GetData()) + ":" + kvtest::Name(msg.sender));
    }
    Log* log;
    const char* name;
};

// A control-side handler attached through the control's OnNotify source.
struct Handler {
    Log* log;
    bool answer;
    bool OnNotify(void* param) {
        log->push_back("delegate:" + Narrow(static_cast<TUINotify*>(param)->type.GetData()));
        return answer;
    }
};

class Notify : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(host.Open());
        root = new TestContainer();
        a = root->Add(Place(new RecordingControl(nullptr, L"a"), 0, 0, 10, 10));
        b = root->Add(Place(new RecordingControl(nullptr, L"b"), 20, 0, 10, 10));
        ASSERT_TRUE(host.manager.AttachDialog(root));
        Drain();
        host.manager.AddNotifier(&first);
        host.manager.AddNotifier(&second);
        log.clear();
    }
    int QueuedAsyncMessages() {
        int count = 0;
        MSG msg;
        while (PeekMessageW(&msg, host, UIMSG_ASYNC_NOTIFY, UIMSG_ASYNC_NOTIFY, PM_REMOVE)) ++count;
        // Put one back so that the queue still drains.
        if (count) PostMessageW(host, UIMSG_ASYNC_NOTIFY, 0, 0);
        return count;
    }

    Log log;
    HostWindow host;
    Listener first{&log, "first"};
    Listener second{&log, "second"};
    TestContainer* root = nullptr;
    RecordingControl* a = nullptr;
    RecordingControl* b = nullptr;
};

TEST_F(Notify, SynchronousGoesToTheSendersDelegatesThenToListenersInOrder) {
    Handler refuse{&log, false};
    a->OnNotify += MakeDelegate(&refuse, &Handler::OnNotify);
    a->OnNotify += MakeDelegate(&refuse, &Handler::OnNotify);  // the same pair again: kept once
    host.manager.SendNotify(a, L"click", 1, 2);
    EXPECT_EQ((Log{"delegate:click", "first:click:a", "second:click:a"}), log);
}

TEST_F(Notify, ARecordCarriesTheLastMousePositionAndTime) {
    SendMessageW(host, WM_MOUSEMOVE, 0, At(7, 8));
    NotifyRecorder catcher(nullptr);
    host.manager.AddNotifier(&catcher);
    const DWORD before = GetTickCount();
    host.manager.SendNotify(b, L"x", 3, 4);
    EXPECT_EQ(7, catcher.records.back().mousePoint.x);
    EXPECT_EQ(8, catcher.records.back().mousePoint.y);
    EXPECT_GE(catcher.records.back().timestamp, before);
    EXPECT_EQ(3u, catcher.records.back().wParam);
    EXPECT_EQ(4, catcher.records.back().lParam);
    host.manager.RemoveNotifier(&catcher);
}

TEST_F(Notify, AsynchronousWaitsForTheQueueMessageAndKeepsItsOrder) {
    host.manager.SendNotify(a, L"one", 0, 0, true);
    host.manager.SendNotify(b, L"two", 0, 0, true);
    host.manager.SendNotify(a, L"three", 0, 0, true);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(1, QueuedAsyncMessages()) << "at most one queue message per manager";
    Drain();
    EXPECT_EQ((Log{"first:one:a", "second:one:a", "first:two:b", "second:two:b", "first:three:a",
                   "second:three:a"}),
              log);
}

TEST_F(Notify, AsynchronousNotificationsLoseTheirVirtualWindow) {
    a->SetVirtualWnd(L"pane");
    NotifyRecorder catcher(nullptr);
    host.manager.AddNotifier(&catcher);
    host.manager.SendNotify(a, L"sync");
    host.manager.SendNotify(a, L"async", 0, 0, true);
    Drain();
    std::vector<std::wstring> windows;
    for (const TUINotify& record : catcher.records) windows.push_back(record.virtualWindow.GetData());
    EXPECT_EQ((std::vector<std::wstring>{L"pane", L""}), windows);
    host.manager.RemoveNotifier(&catcher);
}

TEST_F(Notify, NotificationsQueuedWhileTheQueueIsDeliveredArriveInTheSameRound) {
    struct Chain : INotifyUI {
        CPaintManagerUI* manager;
        CControlUI* sender;
        void Notify(TUINotify& msg) override {
            if (msg.type == L"one") manager->SendNotify(sender, L"two", 0, 0, true);
        }
    } chain;
    chain.manager = &host.manager;
    chain.sender = b;
    host.manager.AddNotifier(&chain);
    host.manager.SendNotify(a, L"one", 0, 0, true);
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, host, UIMSG_ASYNC_NOTIFY, UIMSG_ASYNC_NOTIFY, PM_REMOVE));
    DispatchMessageW(&msg);
    EXPECT_EQ((Log{"first:one:a", "second:one:a", "first:two:b", "second:two:b"}), log);
    host.manager.RemoveNotifier(&chain);
    Drain();
}

// Deleting a control from inside its own "click" handler is safe: it dies on
// the next queue message, before that message's notifications go out, and
// those that named it arrive without a sender.
TEST_F(Notify, DelayedCleanupDiesBeforeQueuedNotificationsWhichLoseTheirSender) {
    struct Remover : INotifyUI {
        TestContainer* root;
        CPaintManagerUI* manager;
        Log* log;
        void Notify(TUINotify& msg) override {
            if (msg.type != L"click") return;
            root->Detach(msg.sender);
            msg.sender->OnDestroy += MakeDelegate(this, &Remover::OnDestroyed);
            manager->SendNotify(msg.sender, L"later", 0, 0, true);
            manager->AddDelayedCleanup(msg.sender);
        }
        bool OnDestroyed(void*) {
            log->push_back("destroyed");
            return true;
        }
    } remover;
    remover.root = root;
    remover.manager = &host.manager;
    remover.log = &log;
    host.manager.RemoveNotifier(&second);
    host.manager.AddNotifier(&remover);
    host.manager.SendNotify(a, L"click");
    EXPECT_EQ(a, host.manager.FindControl(L"a")) << "still alive after the handler";
    Drain();
    EXPECT_EQ((Log{"first:click:a", "destroyed", "first:later:(null)"}), log);
    EXPECT_EQ(nullptr, host.manager.FindControl(L"a"));
    host.manager.RemoveNotifier(&remover);
}

TEST_F(Notify, ReplacingTheTreeRetiresTheOldOneThroughTheQueue) {
    bool oldRootDied = false;
    struct Watch {
        bool* died;
        bool OnDestroy(void*) {
            *died = true;
            return true;
        }
    } watch{&oldRootDied};
    root->OnDestroy += MakeDelegate(&watch, &Watch::OnDestroy);
    a->SetFocus();
    auto* fresh = new TestContainer(L"fresh");
    ASSERT_TRUE(host.manager.AttachDialog(fresh));
    EXPECT_EQ(nullptr, host.manager.GetFocus());
    EXPECT_FALSE(oldRootDied);
    Drain();
    EXPECT_TRUE(oldRootDied);
    EXPECT_EQ(fresh, host.manager.GetRoot());
    EXPECT_EQ(nullptr, host.manager.FindControl(L"b"));
    EXPECT_EQ(fresh, host.manager.FindControl(L"fresh"));
}

TEST_F(Notify, NamesAreRegisteredAndTheLastOfTwoEqualNamesWins) {
    EXPECT_EQ(a, host.manager.FindControl(L"a"));
    EXPECT_EQ(root, host.manager.FindControl(L"root"));
    auto* twin = root->Add(new RecordingControl(nullptr, L"a"));
    EXPECT_EQ(twin, host.manager.FindControl(L"a"));
    root->Detach(twin);
    delete twin;
    EXPECT_EQ(nullptr, host.manager.FindControl(L"a")) << "the map named the dead twin";
    EXPECT_EQ(nullptr, host.manager.FindControl(L"nobody"));
}

TEST_F(Notify, ListenersCanBeRemovedOnce) {
    EXPECT_TRUE(host.manager.RemoveNotifier(&first));
    EXPECT_FALSE(host.manager.RemoveNotifier(&first));
    host.manager.SendNotify(a, L"x");
    EXPECT_EQ((Log{"second:x:a"}), log);
}

// A listener that stops listening while it is told, as a closing pop-up does.
struct OneShotListener : Listener {
    OneShotListener(Log* log, CPaintManagerUI* manager) : Listener(log, "once"), manager(manager) {}
    void Notify(TUINotify& msg) override {
        Listener::Notify(msg);
        manager->RemoveNotifier(this);
    }
    CPaintManagerUI* manager;
};

TEST_F(Notify, AListenerRemovingItselfDoesNotCostTheNextOneItsNotification) {
    host.manager.RemoveNotifier(&first);
    host.manager.RemoveNotifier(&second);
    OneShotListener once{&log, &host.manager};
    host.manager.AddNotifier(&first);
    host.manager.AddNotifier(&once);
    host.manager.AddNotifier(&second);
    host.manager.SendNotify(a, L"click");
    host.manager.SendNotify(a, L"click", 0, 0, true);
    Drain();
    EXPECT_EQ((Log{"first:click:a", "once:click:a", "second:click:a", "first:click:a", "second:click:a"}), log);
}

TEST_F(Notify, OptionGroupsHoldEachOptionOnce) {
    auto* one = reinterpret_cast<COptionUI*>(a);
    auto* two = reinterpret_cast<COptionUI*>(b);
    EXPECT_TRUE(host.manager.AddOptionGroup(L"lines", one));
    EXPECT_FALSE(host.manager.AddOptionGroup(L"lines", one));
    EXPECT_TRUE(host.manager.AddOptionGroup(L"lines", two));
    ASSERT_NE(nullptr, host.manager.GetOptionGroup(L"lines"));
    EXPECT_EQ(2, host.manager.GetOptionGroup(L"lines")->GetSize());
    host.manager.RemoveOptionGroup(L"lines", one);
    EXPECT_EQ(1, host.manager.GetOptionGroup(L"lines")->GetSize());
    host.manager.RemoveOptionGroup(L"lines", two);
    EXPECT_EQ(nullptr, host.manager.GetOptionGroup(L"lines")) << "an empty group is freed";
}

}  // namespace
}  // namespace kvtest
