// The paint manager's bookkeeping around the control tree: names, focus and
// TAB order, capture, control timers, notifications with their asynchronous
// queue, delayed clean-up and option groups.
#include <algorithm>

#include "ui/core/ControlUI.h"
#include "ui/core/PaintManagerProcess.h"
#include "ui/core/PaintManagerUI.h"
#include "ui/core/ShadowUI.h"

namespace KvUI {
namespace {

// Control timers share the window's timer ids with the window's own timers.
constexpr UINT kTimerIdRange = 240;
constexpr UINT kNoTimerId = 0xFFFFFFFF;

struct TabSearch {
    CControlUI* focus;
    CControlUI* last;
    bool forward;
    bool nextIsIt;
};

CControlUI* CALLBACK FindTabStop(CControlUI* control, LPVOID data) {
    auto* search = static_cast<TabSearch*>(data);
    if (control == search->focus) {
        if (!search->forward) return search->last;
        search->nextIsIt = true;
        return nullptr;
    }
    if ((control->GetControlFlags() & UIFLAG_TABSTOP) == 0) return nullptr;
    search->last = control;
    return (search->nextIsIt || !search->focus) ? control : nullptr;
}

CControlUI* CALLBACK CollectName(CControlUI* control, LPVOID data) {
    const CUIString& name = control->GetName();
    if (!name.IsEmpty()) static_cast<StringHashMap<CControlUI*>*>(data)->Set(name, control);
    return nullptr;
}

}  // namespace

// ---- Tree ----

bool CPaintManagerUI::AttachDialog(CControlUI* root) {
    m_shadow->Create(this);
    SetFocus(nullptr);
    m_eventKey = nullptr;
    m_eventHover = nullptr;
    m_eventClick = nullptr;
    if (m_root) {
        m_postPaintControls.clear();
        AddDelayedCleanup(m_root);
    }
    m_root = root;
    m_updateNeeded = true;
    m_firstLayout = true;
    m_focusNeeded = true;
    return InitControls(root, nullptr);
}

bool CPaintManagerUI::InitControls(CControlUI* control, CControlUI* parent) {
    if (!control) return false;
    control->SetManager(this, parent ? parent : control->GetParent(), true);
    control->FindControl(CollectName, &m_nameMap, UIFIND_ALL);
    return true;
}

void CPaintManagerUI::ReapObjects(CControlUI* control) {
    if (!control) return;
    if (control == m_eventKey) m_eventKey = nullptr;
    if (control == m_eventHover) m_eventHover = nullptr;
    if (control == m_eventClick) m_eventClick = nullptr;
    if (control == m_focus) m_focus = nullptr;
    KillControlTimers(control);
    const CUIString& name = control->GetName();
    if (!name.IsEmpty() && m_nameMap.Find(name, false) == control) m_nameMap.Remove(name);
    for (const auto& notify : m_asyncNotify) {
        if (notify->sender == control) notify->sender = nullptr;
    }
}

CControlUI* CPaintManagerUI::FindControl(LPCTSTR name) const {
    if (!name) return nullptr;
    return const_cast<StringHashMap<CControlUI*>&>(m_nameMap).Find(name);
}

void CPaintManagerUI::AddDelayedCleanup(CControlUI* control) {
    if (!control) return;
    control->SetManager(this, nullptr, false);
    m_delayedCleanup.emplace_back(control);
    PostAsyncNotify();
}

// ---- Focus ----

void CPaintManagerUI::KillFocusOf(CControlUI* gaining) {
    CControlUI* losing = m_focus;
    TUIEvent event = MakeEvent(EventKillFocus, gaining);
    losing->Event(event);
    // The handler may have moved the focus or destroyed the control.
    if (m_focus != losing) return;
    SendNotify(losing, L"killfocus");
    if (m_focus == losing) m_focus = nullptr;
}

void CPaintManagerUI::SetFocus(CControlUI* control) {
    if (::GetFocus() != m_paintWnd && control != m_focus && m_paintWnd) ::SetFocus(m_paintWnd);
    if (control == m_focus) return;
    if (m_focus) KillFocusOf(control);
    if (!control || control->GetManager() != this || !control->IsVisible() || !control->IsEnabled()) return;
    m_focus = control;
    TUIEvent event = MakeEvent(EventSetFocus, control);
    control->Event(event);
    if (m_focus == control) SendNotify(control, L"setfocus");
}

void CPaintManagerUI::SetFocusNeeded(CControlUI* control) {
    if (m_paintWnd) ::SetFocus(m_paintWnd);
    if (!control) return;
    if (m_focus) KillFocusOf(control);
    TabSearch search{control, nullptr, false, false};
    m_focus = m_root ? m_root->FindControl(FindTabStop, &search, UIFIND_VISIBLE | UIFIND_ENABLED | UIFIND_ME_FIRST)
                     : nullptr;
    m_focusNeeded = true;
    if (m_root) m_root->NeedUpdate();
}

bool CPaintManagerUI::SetNextTabControl(bool forward) {
    if (m_updateNeeded && forward) {
        m_focusNeeded = true;
        Invalidate();
        return true;
    }
    if (!m_root) {
        m_focusNeeded = false;
        return true;
    }
    constexpr UINT flags = UIFIND_VISIBLE | UIFIND_ENABLED | UIFIND_ME_FIRST;
    TabSearch search{m_focus, nullptr, forward, false};
    CControlUI* found = m_root->FindControl(FindTabStop, &search, flags);
    if (!found) {
        if (!forward) {
            found = search.last;
        } else {
            TabSearch fromStart{nullptr, nullptr, true, false};
            found = m_root->FindControl(FindTabStop, &fromStart, flags);
        }
    }
    if (found) SetFocus(found);
    m_focusNeeded = false;
    return true;
}

// ---- Capture ----

void CPaintManagerUI::SetCapture() {
    ::SetCapture(m_paintWnd);
    m_captured = true;
}

void CPaintManagerUI::ReleaseCapture() {
    ::ReleaseCapture();
    m_captured = false;
    m_dragPending = false;
}

// ---- Timers ----

UINT CPaintManagerUI::NextWindowTimerId() const {
    for (UINT step = 1; step <= kTimerIdRange; ++step) {
        const UINT candidate = (m_lastTimerId + step) % kTimerIdRange;
        if (std::find(m_reservedTimerIds.begin(), m_reservedTimerIds.end(), candidate) != m_reservedTimerIds.end()) {
            continue;
        }
        bool used = false;
        for (size_t i = 0; i < m_timers.size() && !used; ++i) {
            used = m_timers[i]->window == m_paintWnd && m_timers[i]->windowTimerId == candidate;
        }
        if (!used) return candidate;
    }
    return kNoTimerId;
}

bool CPaintManagerUI::SetTimer(CControlUI* control, UINT id, UINT elapse) {
    for (const std::unique_ptr<TUITimer>& timer : m_timers) {
        if (timer->control != control || timer->window != m_paintWnd || timer->localId != id) continue;
        if (!timer->killed) return false;
        if (!::SetTimer(m_paintWnd, timer->windowTimerId, elapse, nullptr)) return false;
        timer->killed = false;
        return true;
    }
    const UINT windowTimerId = NextWindowTimerId();
    if (windowTimerId == kNoTimerId) return false;
    m_lastTimerId = windowTimerId;
    if (!m_paintWnd || !::SetTimer(m_paintWnd, windowTimerId, elapse, nullptr)) return false;
    auto timer = std::make_unique<TUITimer>();
    timer->control = control;
    timer->localId = id;
    timer->window = m_paintWnd;
    timer->windowTimerId = windowTimerId;
    m_timers.push_back(std::move(timer));
    return true;
}

bool CPaintManagerUI::KillTimer(CControlUI* control, UINT id) {
    for (const std::unique_ptr<TUITimer>& timer : m_timers) {
        if (timer->control != control || timer->window != m_paintWnd || timer->localId != id || timer->killed) {
            continue;
        }
        if (IsWindow(m_paintWnd)) ::KillTimer(timer->window, timer->windowTimerId);
        timer->killed = true;
        return true;
    }
    return false;
}

void CPaintManagerUI::KillControlTimers(CControlUI* control) {
    for (size_t i = m_timers.size(); i-- > 0;) {
        const TUITimer& timer = *m_timers[i];
        if (timer.control != control || timer.window != m_paintWnd) continue;
        if (!timer.killed) ::KillTimer(timer.window, timer.windowTimerId);
        m_timers.erase(m_timers.begin() + static_cast<std::ptrdiff_t>(i));
    }
}

void CPaintManagerUI::RemoveAllTimers() {
    for (const std::unique_ptr<TUITimer>& timer : m_timers) {
        if (!timer->killed && IsWindow(timer->window)) ::KillTimer(timer->window, timer->windowTimerId);
    }
    m_timers.clear();
}

void CPaintManagerUI::ReserveWindowTimerId(UINT windowTimerId) {
    if (std::find(m_reservedTimerIds.begin(), m_reservedTimerIds.end(), windowTimerId) == m_reservedTimerIds.end()) {
        m_reservedTimerIds.push_back(windowTimerId);
    }
}

// ---- Notifications ----

bool CPaintManagerUI::AddNotifier(INotifyUI* notifier) {
    if (!notifier) return false;
    m_notifiers.push_back(notifier);
    return true;
}

bool CPaintManagerUI::RemoveNotifier(INotifyUI* notifier) { return paintmanager::RemoveFirst(m_notifiers, notifier); }

void CPaintManagerUI::SendNotify(CControlUI* sender, LPCTSTR type, WPARAM wParam, LPARAM lParam, bool async) {
    TUINotify msg;
    msg.type = type;
    msg.sender = sender;
    msg.wParam = wParam;
    msg.lParam = lParam;
    SendNotifyRecord(msg, async);
}

void CPaintManagerUI::SendNotifyRecord(TUINotify& msg, bool async) {
    msg.mousePoint = m_lastMousePos;
    msg.timestamp = GetTickCount();
    if (m_usedVirtualWnd && msg.sender) msg.virtualWindow = msg.sender->GetVirtualWnd();
    if (!async) {
        DeliverNotify(msg);
        return;
    }
    auto copy = std::make_unique<TUINotify>();
    copy->type = msg.type;
    copy->sender = msg.sender;
    copy->wParam = msg.wParam;
    copy->lParam = msg.lParam;
    copy->mousePoint = msg.mousePoint;
    copy->timestamp = msg.timestamp;
    m_asyncNotify.push_back(std::move(copy));
    PostAsyncNotify();
}

void CPaintManagerUI::DeliverNotify(TUINotify& msg) {
    if (msg.sender && msg.sender->OnNotify.HasDelegates()) msg.sender->OnNotify(&msg);
    // A listener may remove itself while it is told (a closing pop-up does):
    // the walk goes on after wherever the current one now stands, so the
    // listener that moved up into its place is not skipped.
    for (size_t i = 0; i < m_notifiers.size(); ++i) {
        INotifyUI* const notifier = m_notifiers[i];
        notifier->Notify(msg);
        if (i < m_notifiers.size() && m_notifiers[i] == notifier) continue;
        const auto now = std::find(m_notifiers.begin(), m_notifiers.end(), notifier);
        // Removed: the next one now stands at i, so the walk looks at i again.
        if (now == m_notifiers.end()) --i;
        else i = static_cast<size_t>(now - m_notifiers.begin());
    }
}

void CPaintManagerUI::PostAsyncNotify() {
    if (m_asyncNotifyPosted || !m_paintWnd) return;
    m_asyncNotifyPosted = PostMessageW(m_paintWnd, UIMSG_ASYNC_NOTIFY, 0, 0) != FALSE;
}

void CPaintManagerUI::OnAsyncNotify() {
    // Retired controls die first, so a queued notification never reaches one.
    while (!m_delayedCleanup.empty()) {
        std::vector<std::unique_ptr<CControlUI>> retired;
        retired.swap(m_delayedCleanup);
        for (std::unique_ptr<CControlUI>& control : retired) control.reset();
    }
    m_asyncNotifyPosted = false;
    while (!m_asyncNotify.empty()) {
        std::unique_ptr<TUINotify> msg = std::move(m_asyncNotify.front());
        m_asyncNotify.pop_front();
        DeliverNotify(*msg);
    }
}

// ---- Option groups ----

bool CPaintManagerUI::AddOptionGroup(LPCTSTR groupName, COptionUI* option) {
    if (!groupName) return false;
    if (CUIPtrArray* group = m_optionGroups.Find(groupName)) {
        if (group->Find(option) >= 0) return false;
        return group->Add(option);
    }
    auto group = std::make_unique<CUIPtrArray>(6);
    group->Add(option);
    return m_optionGroups.Insert(groupName, std::move(group));
}

CUIPtrArray* CPaintManagerUI::GetOptionGroup(LPCTSTR groupName) const {
    if (!groupName) return nullptr;
    return const_cast<OwnedStringMap<CUIPtrArray>&>(m_optionGroups).Find(groupName);
}

void CPaintManagerUI::RemoveOptionGroup(LPCTSTR groupName, COptionUI* option) {
    CUIPtrArray* group = GetOptionGroup(groupName);
    if (!group) return;
    const int index = group->Find(option);
    if (index >= 0) group->Remove(index);
    if (!group->IsEmpty()) return;
    m_optionGroups.Remove(groupName);
}

void CPaintManagerUI::RemoveAllOptionGroups() {
    m_optionGroups.RemoveAll();
}

}  // namespace KvUI
