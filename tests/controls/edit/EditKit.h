#pragma once
// What the text input tests share: a host window with one field built from a
// skin, the native window the field opens over itself, and typing into it.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "controls/ControlsKit.h"
#include "ui/controls/DateTimeUI.h"
#include "ui/controls/EditUI.h"
#include "ui/controls/HotKeyUI.h"
#include "ui/controls/IPAddressExUI.h"
#include "ui/controls/IPAddressUI.h"

namespace kvtest {

// A window with one field named "field" (and a button "other" to take the
// focus away) built from `field`, a skin element.
class FieldHost : public Host {
public:
    explicit FieldHost(const std::wstring& field, int width = 320, int height = 120) : Host(width, height) {
        Build(Skin(L"<Font id=\"0\" name=\"Tahoma\" size=\"13\"/>", field));
    }

    template <class T = CControlUI>
    T* Field() const {
        return Find<T>(L"field");
    }

    // The native window of class `className` the field opened, or null.
    HWND Native(LPCTSTR className) const { return FindWindowExW(GetHWND(), nullptr, className, nullptr); }

    // Focuses the field and waits until its native window of `className` exists.
    HWND Open(LPCTSTR className) {
        Field()->SetFocus();
        HWND native = nullptr;
        PumpUntil([&] { return (native = Native(className)) != nullptr && IsWindowVisible(native); }, 3000);
        return native;
    }

    // Moves the focus to the button and waits until the native window has gone.
    bool Leave(LPCTSTR className) {
        Find<CControlUI>(L"other")->SetFocus();
        return PumpUntil([&] { return Native(className) == nullptr; });
    }

private:
    static std::wstring Skin(const std::wstring& declarations, const std::wstring& field) {
        return L"<Window>" + declarations +
               L"<VerticalLayout name=\"root\" bkcolor=\"#FFFFFFFF\" inset=\"10,10,10,10\" childpadding=\"6\">" +
               field + L"<Button name=\"other\" text=\"other\" height=\"24\"/></VerticalLayout></Window>";
    }
};

// Types `text` into `native` one character at a time, as the keyboard would.
inline void Type(HWND native, const std::wstring& text) {
    for (wchar_t ch : text) SendMessageW(native, WM_CHAR, ch, 1);
}

inline std::wstring WindowText(HWND native) {
    wchar_t text[512] = {};
    GetWindowTextW(native, text, 512);
    return text;
}

inline std::wstring TextOf(const CControlUI* control) { return control->GetText().GetData(); }

// The pixels a control painted, row by row; Paint() first.
inline std::vector<DWORD> PixelsOf(const Host& host, const CControlUI* control) {
    const RECT& rc = control->GetPos();
    std::vector<DWORD> pixels;
    for (int y = rc.top; y < rc.bottom; ++y) {
        for (int x = rc.left; x < rc.right; ++x) pixels.push_back(host.Pixel(x, y));
    }
    return pixels;
}

// How many pixels of a control have `colour`.
inline int CountColour(const Host& host, const CControlUI* control, DWORD colour) {
    int n = 0;
    for (DWORD px : PixelsOf(host, control)) n += px == colour;
    return n;
}

// Removes the field from its parent and destroys it at once.
inline void DestroyField(Host& host) {
    auto* root = host.Find<CContainerUI>(L"root");
    root->SetDelayedDestroy(false);
    root->Remove(host.Find<CControlUI>(L"field"));
}

}  // namespace kvtest
