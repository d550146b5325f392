#pragma once
// What the rich edit tests share: a window with one rich edit (and a button
// after it in the tab order), keystrokes as a real keyboard sends them, and
// the Ctrl key held down for the thread.
#include <windows.h>

#include <string>

#include "controls/ControlsKit.h"
#include "ui/controls/RichEditUI.h"

namespace kvtest {

class RichEditHost : public Host {
public:
    // `attributes` go on the rich edit, named "edit".
    explicit RichEditHost(const std::wstring& attributes = L"", int width = 300, int height = 200)
        : Host(width, height) {
        Build(Skin(L"<RichEdit name=\"edit\" height=\"120\" " + attributes +
                   L"/><Button name=\"next\" text=\"next\" height=\"30\"/>",
                   L"<Font id=\"0\" name=\"Tahoma\" size=\"14\"/>"
                   L"<Font id=\"1\" name=\"Tahoma\" size=\"12\" bold=\"true\"/>"));
        edit = Find<CRichEditUI>(L"edit");
    }

    void Focus() {
        ::SetFocus(m_hWnd);
        edit->SetFocus();
    }
    // A key as a keyboard gives it: key down, the character it makes, key up.
    void Stroke(WPARAM vk, WCHAR ch = 0) {
        Send(WM_KEYDOWN, vk, 1);
        if (ch) Send(WM_CHAR, ch, 1);
        Send(WM_KEYUP, vk, 0xC0000001);
    }
    void Type(const std::wstring& text) {
        for (const WCHAR ch : text) Send(WM_CHAR, ch, 1);
    }
    std::wstring Text() const { return edit->GetText().GetData(); }
    // What the engine answers to `msg`.
    LRESULT Ask(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) {
        LRESULT result = 0;
        edit->TxSendMessage(msg, wParam, lParam, &result);
        return result;
    }

    CRichEditUI* edit = nullptr;
};

// Holds a key down in this thread's key state while it lives.
class HeldKey {
public:
    explicit HeldKey(BYTE vk) : m_vk(vk) { Set(0x80); }
    HeldKey(const HeldKey&) = delete;
    HeldKey& operator=(const HeldKey&) = delete;
    ~HeldKey() { Set(0); }

private:
    void Set(BYTE state) {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[m_vk] = state;
        SetKeyboardState(keys);
    }
    BYTE m_vk;
};

}  // namespace kvtest
