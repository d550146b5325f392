#pragma once
#include "ui/core/WindowWnd.h"

namespace KvUI {

class CControlUI;
class CLabelUI;
struct TUIEvent;

// The events every control with a native editor answers alike: the I-beam
// over it while enabled, the focus asked back when the window is sized with
// the editor open, no scrolling under an open editor. True when the event is
// consumed; otherwise the control goes on with it.
bool HandleNativeEditorEvent(CControlUI& control, bool editorOpen, TUIEvent& event);

// The native window a text control lays over itself while it is being edited
// (edit, hot key, IP address, date). The object belongs to its window from
// creation on and is freed on the window's final message; the control that
// opened it may go first and then abandons it.
class CNativeEditorWnd : public CWindowWnd {
public:
    // The control is going away: its pointer is dropped at once and the window
    // closes with the next messages, never inside a handler of its own.
    void Abandon();

protected:
    // Creates the window; only a window that exists owns the object.
    bool CreateOwned(HWND parent, DWORD style, const RECT& rc);
    // Forgets the control; the derived window drops its pointer to it.
    virtual void ForgetOwner() = 0;
    // The window is gone: tell the control, unless it went first.
    virtual void OnClosed() = 0;
    void OnFinalMessage(HWND hWnd) final;

    // What the edit-like windows (edit, hot key) answer alike for `owner`:
    // losing the focus closes the window, a change of the native text
    // (reflected back by the paint manager) calls OnTextChanged, and Enter
    // goes to the control as "return". True when `msg` was answered, with the
    // answer in `result`.
    bool HandleEditMessage(CControlUI* owner, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // The native text changed.
    virtual void OnTextChanged() {}

    // The control's rectangle without its text padding, centred on one line of its font.
    static RECT TextArea(const CLabelUI& owner);
    // `rc` cut to the client areas of the control's ancestors; empty when an
    // ancestor is hidden or nothing is left.
    static RECT ClipToAncestors(const CControlUI& owner, RECT rc);
    // The font the control draws its text with.
    static HFONT FontOf(const CLabelUI& owner);

    bool m_initialised = false;

private:
    bool m_ownedByWindow = false;
};

}  // namespace KvUI
