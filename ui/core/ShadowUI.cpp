#include "ui/core/ShadowUI.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <vector>

#include "ui/core/ImageInfo.h"
#include "ui/core/PaintManagerUI.h"
#include "ui/core/RenderEngine.h"
#include "ui/core/RenderGdi.h"

namespace KvUI {
namespace {

constexpr wchar_t kShadowClass[] = L"VexloShadowWnd";

// Status bits.
constexpr BYTE kEnabled = 0x01;       // the shadow window exists and follows the frame
constexpr BYTE kVisible = 0x02;       // the shadow window is shown
constexpr BYTE kFrameVisible = 0x04;  // the frame is shown

struct ProcessShadows {
    bool registered = false;
    HINSTANCE instance = nullptr;
    // The shadow that follows each subclassed frame.
    std::map<HWND, CShadowUI*> frames;
};

ProcessShadows& Shadows() {
    static ProcessShadows shadows;
    return shadows;
}

CShadowUI* ShadowOf(HWND frame) {
    const auto& frames = Shadows().frames;
    const auto it = frames.find(frame);
    return it == frames.end() ? nullptr : it->second;
}

// One row of an outline: the pixels [left, right) are inside.
struct Span {
    int left;
    int right;
};

// The frame's outline row by row, from its window region; a frame without a
// region is its whole rectangle. A row with no pixel inside gets (width, 0).
std::vector<Span> FrameOutline(HWND frame, int width, int height) {
    std::vector<Span> rows(static_cast<size_t>(height), Span{width, 0});
    UniqueRegion region(CreateRectRgn(0, 0, 0, 0));
    const int kind = region ? GetWindowRgn(frame, region.get()) : ERROR;
    if (kind == ERROR) {
        for (Span& row : rows) row = Span{0, width};
        return rows;
    }
    const DWORD size = GetRegionData(region.get(), 0, nullptr);
    if (size == 0) return rows;
    std::vector<BYTE> data(size);
    RGNDATA* rgn = reinterpret_cast<RGNDATA*>(data.data());
    if (GetRegionData(region.get(), size, rgn) == 0) return rows;
    const RECT* rects = reinterpret_cast<const RECT*>(rgn->Buffer);
    for (DWORD i = 0; i < rgn->rdh.nCount; ++i) {
        const RECT& rc = rects[i];
        const int left = std::max<int>(rc.left, 0);
        const int right = std::min<int>(rc.right, width);
        if (left >= right) continue;
        for (int y = std::max<int>(rc.top, 0); y < std::min<int>(rc.bottom, height); ++y) {
            Span& row = rows[static_cast<size_t>(y)];
            row.left = std::min(row.left, left);
            row.right = std::max(row.right, right);
        }
    }
    return rows;
}

// A premultiplied pixel of the 32-bit DIB (blue in the low byte) for a
// COLORREF colour (red in the low byte) at the given alpha.
DWORD ShadowPixel(COLORREF color, BYTE alpha) {
    const DWORD rgb = CShadowUI::PreMultiply(color, alpha);
    const DWORD bgr = ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
    return (static_cast<DWORD>(alpha) << 24) | bgr;
}

// The shadow bitmap: `height` rows of `width` pixels stored bottom-up; every
// write is clipped to it.
class ShadowCanvas {
public:
    ShadowCanvas(DWORD* pixels, int width, int height) : m_pixels(pixels), m_width(width), m_height(height) {}

    // y counts from the top.
    DWORD* Row(int y) const { return m_pixels + static_cast<size_t>(m_height - 1 - y) * m_width; }
    bool HasRow(int y) const { return y >= 0 && y < m_height; }

    void Fill(int y, int from, int to, DWORD value) const {
        if (!HasRow(y)) return;
        from = std::max(from, 0);
        to = std::min(to, m_width);
        DWORD* row = Row(y);
        for (int x = from; x < to; ++x) row[x] = value;
    }

    // Keeps, per pixel, the larger of the bitmap and the kernel centred on (cx, cy).
    void Stamp(int cx, int cy, const std::vector<DWORD>& kernel, int radius) const {
        const int side = 2 * radius + 1;
        for (int dy = -radius; dy <= radius; ++dy) {
            const int y = cy + dy;
            if (!HasRow(y)) continue;
            DWORD* row = Row(y);
            const DWORD* k = kernel.data() + static_cast<size_t>(dy + radius) * side;
            const int from = std::max(-radius, -cx);
            const int to = std::min(radius, m_width - 1 - cx);
            for (int dx = from; dx <= to; ++dx) {
                DWORD& pixel = row[cx + dx];
                pixel = std::max(pixel, k[dx + radius]);
            }
        }
    }

private:
    DWORD* m_pixels;
    int m_width;
    int m_height;
};

}  // namespace

CShadowUI::~CShadowUI() {
    for (auto it = Shadows().frames.begin(); it != Shadows().frames.end(); ++it) {
        if (it->second != this) continue;
        const HWND frame = it->first;
        // The frame outlives its manager here: give it its own procedure back.
        if (IsWindow(frame) &&
            GetWindowLongPtrW(frame, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&CShadowUI::FrameProc)) {
            SetWindowLongPtrW(frame, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_oldFrameProc));
        }
        Shadows().frames.erase(it);
        break;
    }
    if (m_hWnd && IsWindow(m_hWnd)) DestroyWindow(m_hWnd);
}

bool CShadowUI::Initialize(HINSTANCE instance) {
    ProcessShadows& shadows = Shadows();
    if (shadows.registered) return false;
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kShadowClass;
    if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
    shadows.registered = true;
    shadows.instance = instance;
    return true;
}

void CShadowUI::Create(CPaintManagerUI* manager) {
    if (!m_showShadow || !manager) return;
    const HWND frame = manager->GetPaintWindow();
    if (!IsWindow(frame)) return;
    // A rebuilt tree attaches again: the frame is followed already, and
    // subclassing it twice would make the frame procedure call itself. A
    // shadow follows one frame at a time.
    if (ShadowOf(frame) || (m_hWnd && IsWindow(m_hWnd))) return;

    m_manager = manager;
    const LONG_PTR frameStyle = GetWindowLongPtrW(frame, GWL_STYLE);
    const DWORD style = static_cast<DWORD>(frameStyle & WS_CAPTION) | WS_POPUP | WS_BORDER | WS_SYSMENU;
    m_hWnd = CreateWindowExW(WS_EX_LAYERED | WS_EX_TRANSPARENT, kShadowClass, nullptr, style, CW_USEDEFAULT, 0, 0, 0,
                             frame, nullptr, Shadows().instance, nullptr);
    if (!m_hWnd) return;
    Shadows().frames[frame] = this;

    if (!(frameStyle & WS_VISIBLE)) {
        m_status = kEnabled;
    } else if (IsZoomed(frame) || IsIconic(frame)) {
        m_status = kEnabled | kFrameVisible;
    } else {
        m_status = kEnabled | kVisible | kFrameVisible;
        ::ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
        Update(frame);
    }
    m_oldFrameProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(frame, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CShadowUI::FrameProc)));
}

bool CShadowUI::SetSize(int size) {
    if (size < -35 || size > 35) return false;
    m_size = static_cast<signed char>(size);
    RedrawIfShown();
    return true;
}

bool CShadowUI::SetSharpness(unsigned int sharpness) {
    if (sharpness > 35) return false;
    m_sharpness = static_cast<BYTE>(sharpness);
    RedrawIfShown();
    return true;
}

bool CShadowUI::SetDarkness(unsigned int darkness) {
    if (darkness > 255) return false;
    m_darkness = static_cast<BYTE>(darkness);
    RedrawIfShown();
    return true;
}

bool CShadowUI::SetPosition(int x, int y) {
    if (x < -35 || x > 35 || y < -35 || y > 35) return false;
    m_xOffset = static_cast<signed char>(x);
    m_yOffset = static_cast<signed char>(y);
    RedrawIfShown();
    return true;
}

bool CShadowUI::SetColor(COLORREF color) {
    m_color = color;
    RedrawIfShown();
    return true;
}

bool CShadowUI::SetImage(LPCTSTR image) {
    if (!image) return false;
    m_useImage = true;
    m_image = image;
    RedrawIfShown();
    return true;
}

bool CShadowUI::SetShadowCorner(RECT corner) {
    if (corner.left < 0 || corner.top < 0 || corner.right < 0 || corner.bottom < 0) return false;
    m_imageCorner = corner;
    RedrawIfShown();
    return true;
}

bool CShadowUI::ShowShadow(bool show) {
    m_showShadow = show;
    return true;
}

bool CShadowUI::CopyShadow(CShadowUI* other) const {
    if (!other) return false;
    if (m_useImage) {
        other->SetImage(m_image);
        other->SetShadowCorner(m_imageCorner);
        other->SetSize(m_size);
    } else {
        other->SetSize(m_size);
        other->SetSharpness(m_sharpness);
        other->SetDarkness(m_darkness);
        other->SetColor(m_color);
        other->SetPosition(m_xOffset, m_yOffset);
    }
    other->ShowShadow(m_showShadow);
    return true;
}

DWORD CShadowUI::PreMultiply(COLORREF color, BYTE alpha) {
    const DWORD r = GetRValue(color) * static_cast<DWORD>(alpha) / 255;
    const DWORD g = GetGValue(color) * static_cast<DWORD>(alpha) / 255;
    const DWORD b = GetBValue(color) * static_cast<DWORD>(alpha) / 255;
    return r | (g << 8) | (b << 16);
}

void CShadowUI::RedrawIfShown() {
    if (m_hWnd && (m_status & kVisible)) Update(GetWindow(m_hWnd, GW_OWNER));
}

POINT CShadowUI::ShadowOrigin(const RECT& frameRect) const {
    if (m_useImage) return POINT{frameRect.left - m_size, frameRect.top - m_size};
    return POINT{frameRect.left + m_xOffset - m_size, frameRect.top + m_yOffset - m_size};
}

void CShadowUI::Update(HWND frame) {
    if (!m_showShadow || !(m_status & kVisible)) return;
    RECT frameRect = {};
    if (!GetWindowRect(frame, &frameRect)) return;
    if (!m_useImage && m_size == 0) return;
    if (m_useImage && m_image.IsEmpty()) return;
    const int width = frameRect.right - frameRect.left + 2 * m_size;
    const int height = frameRect.bottom - frameRect.top + 2 * m_size;
    // A negative margin larger than the frame leaves nothing to draw.
    if (width <= 0 || height <= 0) return;

    BYTE* bits = nullptr;
    UniqueBitmap bitmap(CRenderEngine::CreateARGB32Bitmap(nullptr, width, height, &bits));
    UniqueMemoryDC dc(CreateCompatibleDC(nullptr));
    if (!bitmap || !bits || !dc) return;
    ScopedSelect select(dc.get(), bitmap.get());

    if (m_useImage) {
        if (!DrawImage(dc.get(), width, height)) return;
    } else {
        std::memset(bits, 0, static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
        MakeShadow(reinterpret_cast<DWORD*>(bits), frame, frameRect);
    }

    POINT origin = ShadowOrigin(frameRect);
    SIZE size = {width, height};
    POINT source = {0, 0};
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    MoveWindow(m_hWnd, origin.x, origin.y, width, height, FALSE);
    UpdateLayeredWindow(m_hWnd, nullptr, &origin, &size, dc.get(), &source, 0, &blend, ULW_ALPHA);
}

bool CShadowUI::DrawImage(HDC dc, int width, int height) {
    if (!m_manager) return false;
    // The skin may name the image plainly or as a draw string.
    const TImageDrawSpec* spec = m_manager->GetDrawSpec(m_image, nullptr);
    if (!spec) return false;
    const TImageInfo* image =
        m_manager->GetImageEx(spec->imageName, spec->resType.IsEmpty() ? nullptr : spec->resType.GetData());
    if (!image) return false;
    const RECT dest = {0, 0, width, height};
    const RECT source = {0, 0, image->width, image->height};
    CRenderEngine::DrawImage(dc, image->bitmap, dest, dest, source, m_imageCorner, image->hasAlpha, 255, true);
    return true;
}

void CShadowUI::MakeShadow(DWORD* pixels, HWND frame, const RECT& frameRect) const {
    const int w = frameRect.right - frameRect.left;
    const int h = frameRect.bottom - frameRect.top;
    const int s = m_size;
    const int k = m_sharpness;
    const int d = m_darkness;
    const int ox = m_xOffset;
    const int oy = m_yOffset;
    const int W = w + 2 * s;
    const int H = h + 2 * s;
    const Span empty = {w, 0};

    const std::vector<Span> outline = FrameOutline(frame, w, h);
    const auto frameRow = [&](int y) { return (y >= 0 && y < h) ? outline[static_cast<size_t>(y)] : empty; };

    // Shadow rows 0..H-1 live at index y + 1, with an empty sentinel row on each side.
    std::vector<Span> spans(static_cast<size_t>(H) + 2, empty);
    for (int y = 0; y < H; ++y) {
        const Span f = frameRow(y - s);
        if (f.left < f.right) spans[static_cast<size_t>(y) + 1] = Span{f.left + s, f.right + s};
    }
    const auto span = [&spans](int y) -> Span& { return spans[static_cast<size_t>(y + 1)]; };

    // Sharpen: erode the outline by one pixel per step beyond the margin.
    std::vector<Span> previous;
    for (int pass = 0; pass < k - s; ++pass) {
        previous = spans;
        for (int y = 0; y < H; ++y) {
            const Span& above = previous[static_cast<size_t>(y)];
            const Span& here = previous[static_cast<size_t>(y) + 1];
            const Span& below = previous[static_cast<size_t>(y) + 2];
            span(y) = Span{std::max({above.left, here.left, below.left}) + 1,
                           std::min({above.right, here.right, below.right}) - 1};
        }
    }

    // The blur kernel: solid inside the inner radius, fading out to the outer one.
    const int R = std::max(k, s);
    const int u = k < s ? s - k : 0;
    const int side = 2 * R + 1;
    std::vector<DWORD> kernel(static_cast<size_t>(side) * side, 0);
    for (int dy = -R; dy <= R; ++dy) {
        for (int dx = -R; dx <= R; ++dx) {
            const double t = std::sqrt(static_cast<double>(dx * dx + dy * dy));
            if (t > R) continue;
            const BYTE alpha =
                t < u ? static_cast<BYTE>(d)
                      : static_cast<BYTE>(static_cast<int>((1.0 - (t - u) / (k + 1)) * d) & 0xFF);
            kernel[static_cast<size_t>(dy + R) * side + (dx + R)] = ShadowPixel(m_color, alpha);
        }
    }

    const ShadowCanvas canvas(pixels, W, H);
    // Edges: the kernel is stamped only along the left and right runs of each span.
    for (int y = R; y < H - R; ++y) {
        const Span here = span(y);
        if (here.left >= here.right) continue;
        const Span above = span(y - 1);
        const Span below = span(y + 1);
        const int leftEnd = std::min(std::max(above.left, below.left) + 1, here.right);
        for (int x = here.left; x < leftEnd; ++x) canvas.Stamp(x, y, kernel, R);
        for (int x = std::max(std::min(above.right, below.right) - 1, leftEnd); x < here.right; ++x) {
            canvas.Stamp(x, y, kernel, R);
        }
    }

    // Fill the interior in one pass, cutting the frame's own area out.
    const DWORD solid = ShadowPixel(m_color, static_cast<BYTE>(d));
    const int firstRow = std::min(R, std::max(s - oy, 0));
    const int endRow = std::max(H - R, std::min(h + s - oy, H));
    for (int y = std::max(firstRow, 0); y < std::min(endRow, H); ++y) {
        const Span here = span(y);
        const int fy = y + oy - s;
        if (fy < 0 || fy >= h) {
            canvas.Fill(y, here.left, here.right, solid);
            continue;
        }
        const Span f = frameRow(fy);
        const int holeStart = std::min(here.right, s + f.left - ox);
        canvas.Fill(y, here.left, holeStart, solid);
        const int holeEnd = std::min(s + f.right - ox, W);
        canvas.Fill(y, std::max(holeStart, 0), holeEnd, 0);
        canvas.Fill(y, std::max(here.left, holeEnd), here.right, solid);
    }
}

void CShadowUI::MoveBehind(HWND frame) {
    RECT frameRect = {};
    if (!m_hWnd || !GetWindowRect(frame, &frameRect)) return;
    const POINT origin = ShadowOrigin(frameRect);
    SetWindowPos(m_hWnd, frame, origin.x, origin.y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
}

void CShadowUI::HideWithFrame() {
    ::ShowWindow(m_hWnd, SW_HIDE);
    m_status &= static_cast<BYTE>(~(kVisible | kFrameVisible));
}

void CShadowUI::ShowWithFrame() {
    // The frame's next paint redraws the shadow at the frame's new state.
    m_updatePending = true;
    ::ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
    m_status |= kVisible | kFrameVisible;
}

LRESULT CALLBACK CShadowUI::FrameProc(HWND frame, UINT msg, WPARAM wParam, LPARAM lParam) {
    CShadowUI* shadow = ShadowOf(frame);
    if (!shadow) return DefWindowProcW(frame, msg, wParam, lParam);
    const WNDPROC next = shadow->m_oldFrameProc;
    shadow->OnFrameMessage(frame, msg, wParam, lParam);
    return CallWindowProcW(next, frame, msg, wParam, lParam);
}

void CShadowUI::OnFrameMessage(HWND frame, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_MOVE:
        if (m_status & kVisible) MoveBehind(frame);
        break;
    case WM_SIZE:
        if (!(m_status & kEnabled)) break;
        if (wParam == SIZE_MAXIMIZED || wParam == SIZE_MINIMIZED) {
            ::ShowWindow(m_hWnd, SW_HIDE);
            m_status &= static_cast<BYTE>(~kVisible);
        } else if (m_status & kFrameVisible) {
            const bool wasHidden = !(m_status & kVisible);
            m_status |= kVisible;
            // A growing frame is redrawn at its next paint, so the shadow never
            // shows smaller, stale content first; shrinking redraws now.
            if (LOWORD(lParam) > LOWORD(m_lastFrameSize) || HIWORD(lParam) > HIWORD(m_lastFrameSize)) {
                m_updatePending = true;
            } else {
                Update(frame);
            }
            if (wasHidden) ::ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
        }
        m_lastFrameSize = lParam;
        break;
    case WM_PAINT:
        if (m_updatePending) {
            Update(frame);
            m_updatePending = false;
        }
        break;
    case WM_SHOWWINDOW:
        if (!(m_status & kEnabled)) break;
        if (!wParam) {
            HideWithFrame();
        } else if (!(m_status & kFrameVisible)) {
            ShowWithFrame();
        }
        break;
    case WM_ACTIVATEAPP:
    case WM_NCACTIVATE:
        SetWindowPos(m_hWnd, frame, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOREDRAW | SWP_NOACTIVATE);
        break;
    case WM_WINDOWPOSCHANGED: {
        MoveBehind(frame);
        const WINDOWPOS* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
        if (!pos || !(m_status & kEnabled)) break;
        if (pos->flags & SWP_SHOWWINDOW) {
            if (!(m_status & kFrameVisible)) ShowWithFrame();
        } else if (pos->flags & SWP_HIDEWINDOW) {
            HideWithFrame();
        }
        break;
    }
    case WM_EXITSIZEMOVE:
        if (m_status & kVisible) Update(frame);
        break;
    case WM_DESTROY:
        if (m_hWnd) DestroyWindow(m_hWnd);
        m_hWnd = nullptr;
        m_status = 0;
        break;
    case WM_NCDESTROY:
        Shadows().frames.erase(frame);
        break;
    default:
        break;
    }
}

}  // namespace KvUI
