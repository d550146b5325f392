#pragma once
// What the windows of a context menu share: the process-wide observer that
// every open menu window registers with (closing is done by broadcasts
// through it), the check map of check items, and the record a menu command
// posts to the window that opened the menu.
#include <windows.h>

#include <memory>
#include <vector>

#include "ui/core/StringHashMap.h"

namespace KvUI {

class CPaintManagerUI;
class MenuObserverImpl;

// Placement of a root menu against its point (Init's alignment flags); the
// default, MenuAlignLeft | MenuAlignTop, opens to the right of and below it.
constexpr DWORD MenuAlignLeft = 2;
constexpr DWORD MenuAlignTop = 4;
constexpr DWORD MenuAlignRight = 8;   // the point is the menu's right edge
constexpr DWORD MenuAlignBottom = 16;  // the point is the menu's bottom edge

// Broadcast messages; the parameter is a window handle.
constexpr int MenuMsgCloseAll = 1;
// Closes the menus that have the given window among their ancestors.
constexpr int MenuMsgCloseBelow = 2;

// Posted to the main window for a chosen command: wParam is a
// MenuCommandRecord the receiver owns (AdoptMenuCommand), lParam the
// CMenuElementUI that was clicked.
constexpr UINT MenuCommandMessage = WM_USER + 3;

struct MenuCommandRecord {
    wchar_t name[256];       // at most 255 characters, longer names are cut
    wchar_t userData[1024];  // at most 1023
    wchar_t text[1024];      // at most 1023
    int checked;             // the check state after the click, 0 or 1
};

inline std::unique_ptr<MenuCommandRecord> AdoptMenuCommand(WPARAM wParam) {
    return std::unique_ptr<MenuCommandRecord>(reinterpret_cast<MenuCommandRecord*>(wParam));
}

// The check state of one named element.
struct MenuCheckRecord {
    wchar_t name[256];
    bool checked;
};

// Element name -> its check record. It belongs to whoever hands it to the
// root menu; CMenuWnd::DestroyMenu empties it.
using MenuCheckMap = OwnedStringMap<MenuCheckRecord>;

// Copies `text` into a fixed field, cut to fit with its terminator; a
// surrogate pair is never split.
template <size_t N>
void CopyMenuText(wchar_t (&field)[N], LPCTSTR text) {
    size_t length = text ? wcsnlen(text, N - 1) : 0;
    if (length == N - 1 && IS_HIGH_SURROGATE(text[length - 1])) --length;
    if (length) wmemcpy(field, text, length);
    field[length] = L'\0';
}

class MenuMenuReceiverImplBase {
public:
    virtual void AddObserver(MenuObserverImpl* observer) = 0;
    virtual void RemoveObserver() = 0;
    virtual int Receive(int type, HWND window) = 0;

protected:
    ~MenuMenuReceiverImplBase() = default;
};

// A menu window as the observer sees it.
class MenuReceiverImpl : public MenuMenuReceiverImplBase {
public:
    MenuReceiverImpl() = default;
    MenuReceiverImpl(const MenuReceiverImpl&) = delete;
    MenuReceiverImpl& operator=(const MenuReceiverImpl&) = delete;
    // A receiver that goes leaves every observer it was registered with.
    virtual ~MenuReceiverImpl();

    void AddObserver(MenuObserverImpl* observer) override;
    void RemoveObserver() override;
    int Receive(int type, HWND window) override;

private:
    std::vector<MenuObserverImpl*> m_observers;
};

class MenuMenuObserverImplBase {
public:
    virtual void AddReceiver(MenuReceiverImpl* receiver) = 0;
    virtual void RemoveReceiver(MenuReceiverImpl* receiver) = 0;
    virtual void RBroadcast(int type, HWND window) = 0;

protected:
    ~MenuMenuObserverImplBase() = default;
};

// The one register of open menu windows, with the main paint manager (whose
// window gets the commands) and the check map.
class MenuObserverImpl : public MenuMenuObserverImplBase {
public:
    MenuObserverImpl() = default;
    MenuObserverImpl(const MenuObserverImpl&) = delete;
    MenuObserverImpl& operator=(const MenuObserverImpl&) = delete;
    virtual ~MenuObserverImpl() = default;

    void AddReceiver(MenuReceiverImpl* receiver) override;
    void RemoveReceiver(MenuReceiverImpl* receiver) override;
    // Tells every receiver, the newest first.
    void RBroadcast(int type, HWND window) override;
    // Null keeps the manager set before.
    virtual void SetManager(CPaintManagerUI* manager);
    // The main manager, or null once it (or its window) is gone.
    virtual CPaintManagerUI* GetManager() const;
    virtual void SetExtraData(MenuCheckMap* checks);
    virtual MenuCheckMap* GetExtraData() const;

    // Walks the receivers from the first registered to the last.
    class Iterator {
    public:
        explicit Iterator(const MenuObserverImpl& observer) : m_observer(observer) {}
        MenuReceiverImpl* next();

    private:
        const MenuObserverImpl& m_observer;
        size_t m_index = 0;
    };

private:
    std::vector<MenuReceiverImpl*> m_receivers;
    CPaintManagerUI* m_manager = nullptr;
    HWND m_managerWindow = nullptr;
    MenuCheckMap* m_checks = nullptr;
};

// The process's observer, made on first use.
MenuObserverImpl& GetMenuObserver();

}  // namespace KvUI
