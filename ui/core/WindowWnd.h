#pragma once
// The object wrapper around one Win32 window: class registration (own class
// or a superclass of a system class), creation with the object as creation
// parameter, the window procedure that finds the object again, a modal loop,
// centring and client resizing.
#include <windows.h>

namespace KvUI {

class CWindowWnd {
public:
    CWindowWnd() = default;
    CWindowWnd(const CWindowWnd&) = delete;
    CWindowWnd& operator=(const CWindowWnd&) = delete;
    virtual ~CWindowWnd() = default;

    HWND GetHWND() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }

    bool RegisterWindowClass();
    bool RegisterSuperclass();

    HWND Create(HWND parent, LPCTSTR name, DWORD style, DWORD exStyle, const RECT& rc,
                HMENU menu = nullptr);
    HWND CreateEx(HWND parent, LPCTSTR name, DWORD style, DWORD exStyle, int x = CW_USEDEFAULT,
                  int y = CW_USEDEFAULT, int cx = CW_USEDEFAULT, int cy = CW_USEDEFAULT,
                  HMENU menu = nullptr);
    void Unsubclass();
    void ShowWindow(bool show = true, bool takeFocus = true);
    UINT ShowModal();
    void Close(UINT result = IDOK);
    void CenterWindow();
    bool ResizeClient(int cx = -1, int cy = -1);

    LRESULT SendMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
    LRESULT PostMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);

protected:
    virtual LPCTSTR GetWindowClassName() const = 0;
    virtual LPCTSTR GetSuperClassName() const;
    virtual UINT GetClassStyle() const;
    virtual LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    virtual void OnFinalMessage(HWND hWnd);

    static LRESULT CALLBACK WndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ControlProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);

    HWND m_hWnd = nullptr;
    WNDPROC m_oldWndProc = ::DefWindowProcW;
    bool m_subclassed = false;
};

}  // namespace KvUI
