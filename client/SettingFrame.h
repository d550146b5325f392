#pragma once
// Stand-in until the settings window arrives: an empty modal window.
#include "ui/core/WindowWnd.h"

namespace kvclient {

class SettingFrame : public KvUI::CWindowWnd {
protected:
    LPCTSTR GetWindowClassName() const override { return L"SettingFrame"; }
};

}  // namespace kvclient
