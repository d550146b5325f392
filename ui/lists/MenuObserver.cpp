#include "ui/lists/MenuObserver.h"

#include <algorithm>

#include "ui/core/PaintManagerUI.h"

namespace KvUI {

MenuReceiverImpl::~MenuReceiverImpl() { MenuReceiverImpl::RemoveObserver(); }

void MenuReceiverImpl::AddObserver(MenuObserverImpl* observer) { m_observers.push_back(observer); }

void MenuReceiverImpl::RemoveObserver() {
    const std::vector<MenuObserverImpl*> observers = std::move(m_observers);
    m_observers.clear();
    for (MenuObserverImpl* observer : observers) observer->RemoveReceiver(this);
}

int MenuReceiverImpl::Receive(int, HWND) { return 0; }

void MenuObserverImpl::AddReceiver(MenuReceiverImpl* receiver) {
    if (!receiver) return;
    m_receivers.push_back(receiver);
    receiver->AddObserver(this);
}

void MenuObserverImpl::RemoveReceiver(MenuReceiverImpl* receiver) {
    if (!receiver) return;
    const auto at = std::find(m_receivers.begin(), m_receivers.end(), receiver);
    if (at != m_receivers.end()) m_receivers.erase(at);
}

void MenuObserverImpl::RBroadcast(int type, HWND window) {
    for (size_t i = m_receivers.size(); i-- > 0;) {
        // A receiver may leave while it is told: the walk stays inside the list.
        if (i < m_receivers.size()) m_receivers[i]->Receive(type, window);
    }
}

void MenuObserverImpl::SetManager(CPaintManagerUI* manager) {
    if (!manager) return;
    m_manager = manager;
    m_managerWindow = manager->GetPaintWindow();
}

// A main window closed before its menus must not be reached through a
// manager that no longer exists.
CPaintManagerUI* MenuObserverImpl::GetManager() const {
    if (!m_manager || !CPaintManagerUI::IsLive(m_manager) || m_manager->GetPaintWindow() != m_managerWindow) {
        return nullptr;
    }
    return m_manager;
}

void MenuObserverImpl::SetExtraData(MenuCheckMap* checks) { m_checks = checks; }

MenuCheckMap* MenuObserverImpl::GetExtraData() const { return m_checks; }

MenuReceiverImpl* MenuObserverImpl::Iterator::next() {
    while (m_index < m_observer.m_receivers.size()) {
        if (MenuReceiverImpl* receiver = m_observer.m_receivers[m_index++]) return receiver;
    }
    return nullptr;
}

MenuObserverImpl& GetMenuObserver() {
    static MenuObserverImpl observer;
    return observer;
}

}  // namespace KvUI
