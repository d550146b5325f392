// The paint manager's life: construction, binding to a window, destruction.
#include "ui/core/PaintManagerUI.h"

#include <gdiplus.h>

#include "ui/core/ControlUI.h"
#include "ui/core/ImageInfo.h"
#include "ui/core/PaintManagerProcess.h"
#include "ui/core/ShadowUI.h"

namespace KvUI {

using paintmanager::Process;

CPaintManagerUI::CPaintManagerUI() : m_shadow(std::make_unique<CShadowUI>()) {
    InitProcessResources();
    CShadowUI::Initialize(GetInstance());
    Gdiplus::GdiplusStartupInput input;
    input.GdiplusVersion = 1;
    input.DebugEventCallback = nullptr;
    input.SuppressBackgroundThread = FALSE;
    input.SuppressExternalCodecs = FALSE;
    Gdiplus::GdiplusStartup(&m_gdiplusToken, &input, nullptr);
}

CPaintManagerUI::~CPaintManagerUI() {
    // Controls retired earlier die first; their notifications go undelivered.
    for (std::unique_ptr<CControlUI>& control : m_delayedCleanup) control.reset();
    m_delayedCleanup.clear();
    m_asyncNotify.clear();
    m_nameMap.Resize(0);

    CControlUI* root = m_root;
    m_root = nullptr;
    delete root;

    FreeResources();
    RemoveAllOptionGroups();
    RemoveAllTimers();
    if (m_tooltipWnd) DestroyWindow(m_tooltipWnd);
    m_tooltipWnd = nullptr;
    FreeOffscreen();
    m_paintDC.reset();

    paintmanager::RemoveFirst(Process().managers, this);

    m_dragBitmap.reset();
    if (m_gdiplusToken) Gdiplus::GdiplusShutdown(m_gdiplusToken);
    m_scaler.reset();
    m_shadow.reset();
}

void CPaintManagerUI::Init(HWND window, LPCTSTR name) {
    m_nameMap.Resize(83);
    RemoveAllFonts();
    RemoveAllImages();
    RemoveAllDefaultAttributeLists();
    RemoveAllStyles();
    RemoveAllDrawSpecs();
    RemoveAllOptionGroups();
    RemoveAllTimers();
    m_name = name;
    if (m_paintWnd == window) return;

    m_paintDC.reset();
    FreeOffscreen();
    m_paintWnd = window;
    m_paintDC = kvwin::WindowDC(window);
    std::vector<CPaintManagerUI*>& managers = Process().managers;
    if (!paintmanager::Contains(managers, this)) managers.push_back(this);
    InitDragDrop();
}

}  // namespace KvUI
