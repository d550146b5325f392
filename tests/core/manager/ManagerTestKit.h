#pragma once
// A real (hidden) window with a paint manager, a minimal container (children
// at fixed places) and a recording control, so these tests need no layout code.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "support/TestKit.h"
#include "ui/core/ControlUI.h"
#include "ui/core/PaintManagerUI.h"
#include "support/UiTestKit.h"
#include "ui/core/WindowWnd.h"

namespace kvtest {

using namespace KvUI;

// One line per thing that happened, e.g. "a:13" (event 13 to control a) or "click:a".
using Log = std::vector<std::string>;

inline std::string Name(const CControlUI* control) {
    return control ? Narrow(control->GetName().GetData()) : std::string("(null)");
}

// Records every event it gets; optionally a tab stop, and of any class name.
class RecordingControl : public CControlUI {
public:
    RecordingControl(Log* log, LPCTSTR name, UINT flags = 0, LPCTSTR className = L"RecordingUI")
        : m_log(log), m_flags(flags), m_className(className) {
        SetName(name);
    }

    LPCTSTR GetClass() const override { return m_className.c_str(); }
    UINT GetControlFlags() const override { return m_flags; }
    bool Activate() override {
        if (m_log) m_log->push_back(Name(this) + ":activate");
        return CControlUI::Activate();
    }
    void DoEvent(TUIEvent& event) override {
        events.push_back(event);
        if (m_log) m_log->push_back(Name(this) + ":" + std::to_string(event.type));
        CControlUI::DoEvent(event);
    }

    std::vector<TUIEvent> events;

private:
    Log* m_log;
    UINT m_flags;
    std::wstring m_className;
};

// Children at their fixed places ("pos" relative to the container's top-left).
class TestContainer : public CControlUI {
public:
    explicit TestContainer(LPCTSTR name = L"root") { SetName(name); }
    ~TestContainer() override {
        for (CControlUI* child : m_children) delete child;
    }

    LPCTSTR GetClass() const override { return L"TestContainerUI"; }

    template <class T>
    T* Add(T* child) {
        m_children.push_back(child);
        if (GetManager()) GetManager()->InitControls(child, this);
        NeedUpdate();
        return child;
    }
    // Takes the child out of the list without deleting it.
    void Detach(CControlUI* child) {
        for (auto it = m_children.begin(); it != m_children.end(); ++it) {
            if (*it == child) {
                m_children.erase(it);
                return;
            }
        }
    }

    void SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init) override {
        for (CControlUI* child : m_children) child->SetManager(manager, this, init);
        CControlUI::SetManager(manager, parent, init);
    }

    void SetPos(RECT rc, bool invalidate) override {
        CControlUI::SetPos(rc, invalidate);
        for (CControlUI* child : m_children) {
            const SIZE xy = child->GetFixedXY();
            const RECT place = {rc.left + xy.cx, rc.top + xy.cy, rc.left + xy.cx + child->GetFixedWidth(),
                                rc.top + xy.cy + child->GetFixedHeight()};
            child->SetPos(place, false);
        }
    }

    CControlUI* FindControl(FINDCONTROLPROC proc, LPVOID data, UINT flags) override {
        if ((flags & UIFIND_VISIBLE) && !IsVisible()) return nullptr;
        if ((flags & UIFIND_ENABLED) && !IsEnabled()) return nullptr;
        if ((flags & UIFIND_HITTEST) && !PtInRect(&GetPos(), *static_cast<POINT*>(data))) return nullptr;
        if ((flags & UIFIND_UPDATETEST) && proc(this, data)) return nullptr;
        if (flags & UIFIND_ME_FIRST) {
            if (CControlUI* found = MeOrNull(proc, data, flags)) return found;
        }
        const int count = static_cast<int>(m_children.size());
        for (int i = 0; i < count; ++i) {
            CControlUI* child = m_children[(flags & UIFIND_TOP_FIRST) ? count - 1 - i : i];
            if (CControlUI* found = child->FindControl(proc, data, flags)) return found;
        }
        if (flags & UIFIND_ME_FIRST) return nullptr;
        return MeOrNull(proc, data, flags);
    }

    bool DoPaint(HDC dc, const RECT& paint, CControlUI* stop) override {
        CControlUI::DoPaint(dc, paint, stop);
        for (CControlUI* child : m_children) {
            if (!child->Paint(dc, paint, stop)) return false;
        }
        return true;
    }

private:
    CControlUI* MeOrNull(FINDCONTROLPROC proc, LPVOID data, UINT flags) {
        if ((flags & UIFIND_HITTEST) && !IsMouseEnabled()) return nullptr;
        return proc(this, data);
    }

    std::vector<CControlUI*> m_children;
};

// A control placed at (x, y) with size (cx, cy) inside a TestContainer.
template <class T>
T* Place(T* control, int x, int y, int cx, int cy) {
    control->SetFixedXY(SIZE{x, y});
    control->SetFixedWidth(cx);
    control->SetFixedHeight(cy);
    return control;
}

// Records notifications as "type:sender".
class NotifyRecorder : public INotifyUI {
public:
    explicit NotifyRecorder(Log* log) : m_log(log) {}
    void Notify(TUINotify& msg) override {
        records.push_back(msg);
        if (m_log) m_log->push_back(Narrow(msg.type.GetData()) + ":" + Name(msg.sender));
    }
    std::vector<TUINotify> records;

private:
    Log* m_log;
};

// A top-level window at the screen's origin whose messages go through its
// paint manager.
class HostWindow : public UiHostWindow {
public:
    bool Open(int width = 300, int height = 200, DWORD style = WS_POPUP, DWORD exStyle = 0) {
        return UiHostWindow::Open(0, 0, width, height, style, exStyle);
    }
};

inline LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

// Hands the control one event of `type`, as the manager would.
inline void FireEvent(CControlUI& control, int type, WPARAM wParam = 0) {
    TUIEvent event;
    event.type = type;
    event.wParam = wParam;
    control.Event(event);
}

// Hidden windows get no WM_PAINT: shows the window without activating it and
// waits until its tree is laid out and painted.
inline bool ShowAndPaint(HostWindow& host) {
    ShowWindow(host, SW_SHOWNOACTIVATE);
    UpdateWindow(host);
    return PumpUntil([&] {
        RECT rc;
        return !host.manager.IsUpdateNeeded() && !GetUpdateRect(host, &rc, FALSE);
    });
}

// Processes everything already queued for this thread.
inline void Drain() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// Sets or clears one key in this thread's keyboard state (what GetKeyState reads).
inline void SetKeyDown(int vk, bool down) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[vk] = down ? 0x80 : 0;
    SetKeyboardState(keys);
}

// A 32-bit top-down DIB selected into a memory DC, cleared to 0.
class PixelCanvas {
public:
    PixelCanvas(int width, int height) : m_width(width) {
        BITMAPINFO info = {};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        m_dc = CreateCompatibleDC(nullptr);
        m_bitmap = CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_bits), nullptr, 0);
        m_old = SelectObject(m_dc, m_bitmap);
    }
    ~PixelCanvas() {
        SelectObject(m_dc, m_old);
        DeleteObject(m_bitmap);
        DeleteDC(m_dc);
    }
    HDC dc() const { return m_dc; }
    DWORD At(int x, int y) const {
        GdiFlush();
        return m_bits[y * m_width + x];
    }
    DWORD Rgb(int x, int y) const { return At(x, y) & 0x00FFFFFF; }

private:
    int m_width;
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_old = nullptr;
    DWORD* m_bits = nullptr;
};

}  // namespace kvtest
