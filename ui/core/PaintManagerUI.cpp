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
    for (int i = 0; i < m_delayedCleanup.GetSize(); ++i) delete static_cast<CControlUI*>(m_delayedCleanup[i]);
    m_delayedCleanup.Empty();
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
    if (m_paintDC) ReleaseDC(m_paintWnd, m_paintDC);
    m_paintDC = nullptr;

    CUIPtrArray& managers = Process().managers;
    const int index = managers.Find(this);
    if (index >= 0) managers.Remove(index);

    if (m_dragBitmap) DeleteObject(m_dragBitmap);
    m_dragBitmap = nullptr;
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

    if (m_paintDC) ReleaseDC(m_paintWnd, m_paintDC);
    FreeOffscreen();
    m_paintWnd = window;
    m_paintDC = GetDC(window);
    CUIPtrArray& managers = Process().managers;
    if (managers.Find(this) < 0) managers.Add(this);
    InitDragDrop();
}

}  // namespace KvUI
