// The paint manager's painting: lazy layout, the off-screen bitmap, layered
// (per-pixel alpha) windows, and the window attributes about appearance.
#include <algorithm>
#include <cstring>

#include "ui/core/ControlUI.h"
#include "ui/core/ImageInfo.h"
#include "ui/core/PaintManagerProcess.h"
#include "ui/core/PaintManagerUI.h"
#include "ui/core/RenderClip.h"
#include "ui/core/RenderEngine.h"
#include "ui/core/ShadowUI.h"

namespace KvUI {

using paintmanager::Process;

namespace {

using UpdateLayeredWindowProc = BOOL(WINAPI*)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF, BLENDFUNCTION*, DWORD);
using SetLayeredWindowAttributesProc = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);

template <class Proc>
Proc User32Export(const char* name) {
    const HMODULE user32 = GetModuleHandleW(L"User32.dll");
    return user32 ? reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(user32, name))) : nullptr;
}

UpdateLayeredWindowProc UpdateLayeredWindowExport() {
    static const auto proc = User32Export<UpdateLayeredWindowProc>("UpdateLayeredWindow");
    return proc;
}

void AddExStyle(HWND window, LONG_PTR bits) {
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_EXSTYLE);
    if ((style & bits) != bits) SetWindowLongPtrW(window, GWL_EXSTYLE, style | bits);
}

BYTE* Bytes(const kvwin::MemoryDib& dib) { return reinterpret_cast<BYTE*>(dib.pixels()); }

// A rectangle of a bottom-up 32-bit DIB, as byte pointers per row; the
// rectangle is cut to the bitmap first so no loop can leave it.
template <class F>
void ForEachRow(const kvwin::MemoryDib& dib, RECT rc, F f) {
    BYTE* const bits = Bytes(dib);
    if (!bits) return;
    const SIZE size{dib.width(), dib.height()};
    rc.left = std::max<LONG>(rc.left, 0);
    rc.top = std::max<LONG>(rc.top, 0);
    rc.right = std::min<LONG>(rc.right, size.cx);
    rc.bottom = std::min<LONG>(rc.bottom, size.cy);
    if (rc.right <= rc.left || rc.bottom <= rc.top) return;
    for (LONG y = rc.top; y < rc.bottom; ++y) {
        BYTE* row = bits + (static_cast<size_t>(size.cy - 1 - y) * size.cx + rc.left) * 4;
        f(row, static_cast<size_t>(y), static_cast<int>(rc.right - rc.left));
    }
}

void ClearPixels(const kvwin::MemoryDib& dib, const RECT& rc) {
    ForEachRow(dib, rc, [](BYTE* row, size_t, int count) { memset(row, 0, static_cast<size_t>(count) * 4); });
}

// The controls waiting for a layout, in the public found list and typed for the layout pass.
struct UpdateSearch {
    CUIPtrArray& found;
    std::vector<CControlUI*> controls;
};

CControlUI* CALLBACK CollectUpdateNeeded(CControlUI* control, LPVOID data) {
    if (!control->IsUpdateNeeded()) return nullptr;
    auto* search = static_cast<UpdateSearch*>(data);
    search->found.Add(control);
    search->controls.push_back(control);
    return control;
}

}  // namespace

// ---- Window attributes ----

void CPaintManagerUI::SetInitSize(int cx, int cy) {
    m_initSize = SIZE{cx, cy};
    if (!m_root && m_paintWnd) {
        SetWindowPos(m_paintWnd, nullptr, 0, 0, cx, cy, SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
    }
}

void CPaintManagerUI::SetOpacity(BYTE opacity) {
    m_opacity = opacity;
    if (!m_paintWnd) return;
    static const auto setAttributes = User32Export<SetLayeredWindowAttributesProc>("SetLayeredWindowAttributes");
    if (!setAttributes) return;
    AddExStyle(m_paintWnd, WS_EX_LAYERED);
    setAttributes(m_paintWnd, 0, opacity, LWA_ALPHA);
}

void CPaintManagerUI::SetLayeredOpacity(BYTE opacity) {
    m_opacity = opacity;
    m_layeredChanged = true;
    Invalidate();
}

void CPaintManagerUI::SetLayered(bool layered) {
    if (!m_paintWnd || layered == m_layered) return;
    if (GetWindowLongPtrW(m_paintWnd, GWL_STYLE) & WS_CHILD) return;
    if (!UpdateLayeredWindowExport()) return;
    m_layered = layered;
    if (m_root) m_root->NeedUpdate();
    Invalidate();
}

LPCTSTR CPaintManagerUI::GetLayeredImage() const {
    return m_layeredImage ? m_layeredImage->drawString.GetData() : L"";
}

void CPaintManagerUI::SetLayeredImage(LPCTSTR drawString) {
    if (!m_layeredImage) m_layeredImage = std::make_unique<TImageDrawSpec>();
    m_layeredImage->Clear();
    m_layeredImage->Parse(drawString, nullptr, this);
    // Load it now, so the first paint does not wait for the file.
    if (!m_layeredImage->imageName.IsEmpty()) {
        GetImageEx(m_layeredImage->imageName, m_layeredImage->resType, m_layeredImage->mask);
    }
    m_layeredChanged = true;
    Invalidate();
}

// ---- Layout and invalidation ----

void CPaintManagerUI::NeedUpdate() { m_updateNeeded = true; }

void CPaintManagerUI::Invalidate() {
    if (!m_paintWnd) return;
    RECT client = {};
    GetClientRect(m_paintWnd, &client);
    UnionRect(&m_invalidRect, &m_invalidRect, &client);
    ::InvalidateRect(m_paintWnd, nullptr, FALSE);
}

void CPaintManagerUI::InvalidateRect(RECT& rc) {
    rc.left = std::max<LONG>(rc.left, 0);
    rc.top = std::max<LONG>(rc.top, 0);
    rc.right = std::max(rc.right, rc.left);
    rc.bottom = std::max(rc.bottom, rc.top);
    // An empty rectangle would still wake a WM_PAINT pass for nothing.
    if (!m_paintWnd || IsRectEmpty(&rc)) return;
    UnionRect(&m_invalidRect, &m_invalidRect, &rc);
    ::InvalidateRect(m_paintWnd, &rc, FALSE);
}

bool CPaintManagerUI::AddPostPaint(CControlUI* control) {
    if (!control) return false;
    m_postPaintControls.push_back(control);
    return true;
}

bool CPaintManagerUI::RemovePostPaint(CControlUI* control) {
    return paintmanager::RemoveFirst(m_postPaintControls, control);
}

RECT CPaintManagerUI::GetChildWindowRect(HWND child) const {
    RECT rc = {};
    GetWindowRect(child, &rc);
    ::ScreenToClient(m_paintWnd, reinterpret_cast<POINT*>(&rc.left));
    ::ScreenToClient(m_paintWnd, reinterpret_cast<POINT*>(&rc.right));
    return rc;
}

void CPaintManagerUI::FreeOffscreen() {
    m_offscreen.reset();
    m_background.reset();
}

// ---- WM_PAINT ----

bool CPaintManagerUI::LayOutTree(const RECT& client) {
    if (IsRectEmpty(&client) || IsIconic(m_paintWnd)) return false;
    if (m_root->IsUpdateNeeded()) {
        FreeOffscreen();
        m_root->SetPos(client, true);
    } else {
        m_foundControls.Empty();
        UpdateSearch search{m_foundControls, {}};
        m_root->FindControl(CollectUpdateNeeded, &search, UIFIND_VISIBLE | UIFIND_UPDATETEST | UIFIND_ME_FIRST);
        for (CControlUI* const control : search.controls) {
            control->SetPos(control->IsFloat() ? control->GetRelativePos() : control->GetPos(), true);
        }
    }
    return true;
}

bool CPaintManagerUI::OnPaint() {
    if (!m_root) {
        PAINTSTRUCT ps = {};
        const HDC dc = BeginPaint(m_paintWnd, &ps);
        CRenderEngine::DrawColor(dc, ps.rcPaint, 0xFF000000);
        EndPaint(m_paintWnd, &ps);
        return true;
    }

    RECT client = {};
    GetClientRect(m_paintWnd, &client);
    RECT paint = {};
    if (!GetUpdateRect(m_paintWnd, &paint, FALSE)) return true;
    if (m_focusNeeded) SetNextTabControl(true);

    bool sizeNotify = false;
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    if (m_updateNeeded) {
        m_updateNeeded = false;
        if (LayOutTree(client)) {
            sizeNotify = true;
            if (m_firstLayout) {
                m_firstLayout = false;
                SendNotify(m_root, L"windowinit", 0, 0, false);
                if (!m_root) return true;
                if (m_layered && m_layeredChanged) {
                    // The real paint follows on the next WM_PAINT.
                    Invalidate();
                    return true;
                }
                m_shadow->Update(m_paintWnd);
            }
        }
    } else if (m_layered && m_layeredChanged) {
        ClearPixels(m_offscreen, RECT{0, 0, m_offscreen.width(), m_offscreen.height()});
        m_root->SetPos(client, true);
    }

    if (m_layered) {
        AddExStyle(m_paintWnd, WS_EX_LAYERED);
        m_offscreenPaint = true;
        UnionRect(&paint, &paint, &m_invalidRect);
        paint.right = std::min<LONG>(paint.right, width);
        paint.bottom = std::min<LONG>(paint.bottom, height);
        SetRectEmpty(&m_invalidRect);
    }

    // A bitmap of another size (the window was resized) is never painted into.
    if (m_offscreen.Ready() && (m_offscreen.width() != width || m_offscreen.height() != height)) FreeOffscreen();
    if (m_offscreenPaint && !m_offscreen.Ready() && width > 0 && height > 0) {
        m_offscreen = kvwin::MemoryDib(m_paintDC.get(), width, height, false);
    }

    const HDC paintDC = m_paintDC.get();
    PAINTSTRUCT ps = {};
    BeginPaint(m_paintWnd, &ps);
    if (!m_offscreenPaint || !m_offscreen.Ready()) {
        const int saved = SaveDC(paintDC);
        m_root->Paint(paintDC, paint, nullptr);
        for (size_t i = 0; i < m_postPaintControls.size(); ++i) m_postPaintControls[i]->DoPostPaint(paintDC, paint);
        RestoreDC(paintDC, saved);
    } else {
        const HDC offscreenDC = m_offscreen.dc();
        const int saved = SaveDC(offscreenDC);
        if (m_layered) ClearPixels(m_offscreen, paint);
        m_root->Paint(offscreenDC, paint, nullptr);
        for (size_t i = 0; i < m_postPaintControls.size(); ++i) m_postPaintControls[i]->DoPostPaint(offscreenDC, paint);
        RestoreDC(offscreenDC, saved);
        if (!m_layered) {
            BitBlt(paintDC, paint.left, paint.top, paint.right - paint.left, paint.bottom - paint.top, offscreenDC,
                   paint.left, paint.top, SRCCOPY);
        } else {
            PaintLayered(paint, width, height);
        }
        if (m_showUpdateRect && !m_layered) {
            const kvwin::ScopedSelect pen(paintDC, Process().showDirtyPen.get());
            const kvwin::ScopedSelect brush(paintDC, GetStockObject(NULL_BRUSH));
            Rectangle(paintDC, paint.left, paint.top, paint.right, paint.bottom);
        }
    }
    EndPaint(m_paintWnd, &ps);
    m_layeredChanged = false;

    // Focus waiting for the layout is placed by the next paint: this one
    // already validated the window.
    if (m_updateNeeded || m_focusNeeded) Invalidate();
    if (sizeNotify) SendNotify(m_root, L"windowsize", 0, 0, true);
    return true;
}

void CPaintManagerUI::PaintLayered(const RECT& paint, int width, int height) {
    RECT window = {};
    GetWindowRect(m_paintWnd, &window);
    const RECT client = {0, 0, width, height};

    if (m_layeredImage && !m_layeredImage->drawString.IsEmpty()) {
        bool redraw = m_layeredChanged;
        if (!m_background.Ready()) {
            m_background = kvwin::MemoryDib(m_paintDC.get(), width, height, false);
            redraw = true;
        }
        if (redraw && m_background.Ready()) {
            ClearPixels(m_background, client);
            CRenderClip clip;
            CRenderClip::GenerateClip(m_background.dc(), client, clip);
            CRenderEngine::DrawImageInfo(m_background.dc(), this, client, client, m_layeredImage.get());
            GdiFlush();
        }
        // The controls show only where the layered image does, scaled by its alpha.
        if (m_background.Ready()) {
            const BYTE* background = Bytes(m_background);
            BYTE* offscreen = Bytes(m_offscreen);
            ForEachRow(m_offscreen, paint, [&](BYTE* row, size_t, int count) {
                const BYTE* bg = background + (row - offscreen);
                for (int x = 0; x < count; ++x, row += 4, bg += 4) {
                    const unsigned a = bg[3];
                    row[0] = static_cast<BYTE>(row[0] * a / 255);
                    row[1] = static_cast<BYTE>(row[1] * a / 255);
                    row[2] = static_cast<BYTE>(row[2] * a / 255);
                    row[3] = static_cast<BYTE>(a);
                }
            });
        }
    } else {
        // Plain GDI leaves alpha 0: such pixels become opaque, untouched ones stay clear.
        ForEachRow(m_offscreen, paint, [](BYTE* row, size_t, int count) {
            for (int x = 0; x < count; ++x, row += 4) {
                if (row[3] == 0 && (row[0] || row[1] || row[2])) row[3] = 255;
            }
        });
    }

    if (const auto update = UpdateLayeredWindowExport()) {
        POINT position = {window.left, window.top};
        SIZE size = {width, height};
        POINT source = {0, 0};
        BLENDFUNCTION blend = {AC_SRC_OVER, 0, m_opacity, AC_SRC_ALPHA};
        update(m_paintWnd, m_paintDC.get(), &position, &size, m_offscreen.dc(), &source, 0, &blend, ULW_ALPHA);
    }
}

void CPaintManagerUI::OnPrintClient(HDC dc, LPARAM flags) {
    if (!m_root || !dc) return;
    RECT client = {};
    GetClientRect(m_paintWnd, &client);
    const int saved = SaveDC(dc);
    m_root->Paint(dc, client, nullptr);
    if (flags & PRF_CHILDREN) {
        for (HWND child = GetWindow(m_paintWnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            const RECT pos = GetChildWindowRect(child);
            SetWindowOrgEx(dc, -pos.left, -pos.top, nullptr);
            ::SendMessageW(child, WM_PRINT, reinterpret_cast<WPARAM>(dc), flags | PRF_NONCLIENT);
        }
    }
    RestoreDC(dc, saved);
}

}  // namespace KvUI
