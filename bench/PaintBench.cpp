// A full repaint of a busy window: 1,000 controls with a colour, a border, a
// nine-grid image and one line of text, painted by the paint manager into its
// off-screen bitmap and copied to the window. Beside it, a bare loop issuing
// the same drawing calls into the same kind of bitmap, with no control tree.
#include "bench/Bench.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "ui/core/ControlUI.h"
#include "ui/core/ImageInfo.h"
#include "ui/core/PaintManagerUI.h"
#include "ui/core/RenderEngine.h"
#include "ui/core/WindowWnd.h"

namespace kvbench {
namespace {

using namespace KvUI;

constexpr int kWidth = 1200;
constexpr int kHeight = 770;
constexpr int kColumns = 40;
constexpr int kRows = 25;
constexpr int kCell = 30;
constexpr DWORD kBackground = 0xFFE0E8F0;
constexpr DWORD kBorder = 0xFF8090A0;
constexpr DWORD kText = 0xFF202020;
constexpr UINT kTextStyle = DT_SINGLELINE | DT_CENTER | DT_VCENTER;
constexpr int kCorner = 4;
constexpr int kImageSize = 12;

// A 12x12 24-bit bitmap file: a frame of one colour around another.
std::wstring WriteCellImage() {
    const char* work = std::getenv("KV_BENCH_WORK");
    std::string unixDir = work ? work : "/tmp";
    std::wstring dir = L"Z:";
    for (char c : unixDir) dir += c == '/' ? L'\\' : static_cast<wchar_t>(c);
    dir += L"\\";
    const int rowBytes = kImageSize * 3;
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {sizeof info, kImageSize, kImageSize, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + rowBytes * kImageSize;
    std::vector<BYTE> pixels(static_cast<size_t>(rowBytes) * kImageSize);
    for (int y = 0; y < kImageSize; ++y) {
        for (int x = 0; x < kImageSize; ++x) {
            const bool frame = x < kCorner || y < kCorner || x >= kImageSize - kCorner || y >= kImageSize - kCorner;
            BYTE* p = &pixels[static_cast<size_t>(y) * rowBytes + static_cast<size_t>(x) * 3];
            p[0] = frame ? 0xC0 : 0xF8;
            p[1] = frame ? 0x90 : 0xF0;
            p[2] = frame ? 0x60 : 0xE8;
        }
    }
    const HANDLE out = CreateFileW((dir + L"cell.bmp").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(out, &file, sizeof file, &written, nullptr);
    WriteFile(out, &info, sizeof info, &written, nullptr);
    WriteFile(out, pixels.data(), static_cast<DWORD>(pixels.size()), &written, nullptr);
    CloseHandle(out);
    return dir;
}

// One cell: the base control's layers plus a line of text.
class Cell : public CControlUI {
public:
    void PaintText(HDC dc) override {
        RECT rc = GetPos();
        CRenderEngine::DrawText(dc, GetManager(), rc, GetText(), kText, -1, kTextStyle);
    }
};

// The cells in a fixed grid.
class Grid : public CControlUI {
public:
    ~Grid() override {
        for (CControlUI* cell : m_cells) delete cell;
    }
    void AddCell(CControlUI* cell) { m_cells.push_back(cell); }
    void SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init) override {
        for (CControlUI* cell : m_cells) cell->SetManager(manager, this, init);
        CControlUI::SetManager(manager, parent, init);
    }
    void SetPos(RECT rc, bool invalidate) override {
        CControlUI::SetPos(rc, invalidate);
        for (size_t i = 0; i < m_cells.size(); ++i) {
            const int x = static_cast<int>(i % kColumns) * kCell;
            const int y = static_cast<int>(i / kColumns) * kCell;
            m_cells[i]->SetPos(RECT{x, y, x + kCell, y + kCell}, false);
        }
    }
    bool DoPaint(HDC dc, const RECT& paint, CControlUI* stop) override {
        CControlUI::DoPaint(dc, paint, stop);
        for (CControlUI* cell : m_cells) {
            if (!cell->Paint(dc, paint, stop)) return false;
        }
        return true;
    }

private:
    std::vector<CControlUI*> m_cells;
};

class PaintWindow : public CWindowWnd {
public:
    CPaintManagerUI manager;

protected:
    LPCTSTR GetWindowClassName() const override { return L"KvPaintBench"; }
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_CREATE) manager.Init(m_hWnd);
        LRESULT lRes = 0;
        if (manager.MessageHandler(msg, wParam, lParam, lRes)) return lRes;
        return CWindowWnd::HandleMessage(msg, wParam, lParam);
    }
};

std::wstring CellText(int i) { return std::to_wstring(i); }

// The nine pieces of a nine-grid draw of an opaque image, as the render engine
// blits them: unscaled corners are copied, edges and middle stretched.
void NineGrid(HDC dc, HDC image, const RECT& rc) {
    const int c = kCorner;
    const int s = kImageSize;
    const int mw = rc.right - rc.left - 2 * c;
    const int mh = rc.bottom - rc.top - 2 * c;
    StretchBlt(dc, rc.left + c, rc.top + c, mw, mh, image, c, c, s - 2 * c, s - 2 * c, SRCCOPY);
    BitBlt(dc, rc.left, rc.top, c, c, image, 0, 0, SRCCOPY);
    StretchBlt(dc, rc.left + c, rc.top, mw, c, image, c, 0, s - 2 * c, c, SRCCOPY);
    BitBlt(dc, rc.right - c, rc.top, c, c, image, s - c, 0, SRCCOPY);
    StretchBlt(dc, rc.left, rc.top + c, c, mh, image, 0, c, c, s - 2 * c, SRCCOPY);
    StretchBlt(dc, rc.right - c, rc.top + c, c, mh, image, s - c, c, c, s - 2 * c, SRCCOPY);
    BitBlt(dc, rc.left, rc.bottom - c, c, c, image, 0, s - c, SRCCOPY);
    StretchBlt(dc, rc.left + c, rc.bottom - c, mw, c, image, c, s - c, s - 2 * c, c, SRCCOPY);
    BitBlt(dc, rc.right - c, rc.bottom - c, c, c, image, s - c, s - c, SRCCOPY);
}

// The bare loop: what a hand-written GDI program draws for the same cells
// (a fill, the nine-grid blits, the text and a one-pixel frame) into the
// same kind of off-screen DIB, then one copy to the window. Its brushes and
// image DC are made once per repaint, as a careful program would.
void BareRepaint(HWND window, HDC windowDC, HDC offscreen, HBITMAP image, HFONT font) {
    PAINTSTRUCT ps;
    BeginPaint(window, &ps);
    const HBRUSH fill = CreateSolidBrush(ArgbToColorRef(kBackground));
    const HBRUSH frame = CreateSolidBrush(ArgbToColorRef(kBorder));
    const HDC imageDC = CreateCompatibleDC(offscreen);
    const HGDIOBJ oldImage = SelectObject(imageDC, image);
    for (int i = 0; i < kColumns * kRows; ++i) {
        const int x = (i % kColumns) * kCell;
        const int y = (i / kColumns) * kCell;
        RECT rc = {x, y, x + kCell, y + kCell};
        FillRect(offscreen, &rc, fill);
        SetStretchBltMode(offscreen, HALFTONE);
        NineGrid(offscreen, imageDC, rc);
        const HGDIOBJ oldFont = SelectObject(offscreen, font);
        SetBkMode(offscreen, TRANSPARENT);
        SetTextColor(offscreen, ArgbToColorRef(kText));
        const std::wstring text = CellText(i);
        DrawTextW(offscreen, text.c_str(), static_cast<int>(text.size()), &rc, kTextStyle);
        SelectObject(offscreen, oldFont);
        FrameRect(offscreen, &rc, frame);
    }
    SelectObject(imageDC, oldImage);
    DeleteDC(imageDC);
    DeleteObject(fill);
    DeleteObject(frame);
    BitBlt(windowDC, 0, 0, kWidth, kHeight, offscreen, 0, 0, SRCCOPY);
    EndPaint(window, &ps);
}

// The bare loop in a window of its own, so it gets the same WM_PAINT path.
class BareWindow : public CWindowWnd {
public:
    HBITMAP image = nullptr;
    HFONT font = nullptr;

    ~BareWindow() override {
        if (m_offscreen) DeleteDC(m_offscreen);
        if (m_bitmap) DeleteObject(m_bitmap);
        if (m_windowDC) ReleaseDC(m_hWnd, m_windowDC);
    }

protected:
    LPCTSTR GetWindowClassName() const override { return L"KvPaintBenchBare"; }
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_ERASEBKGND) return 1;
        if (msg != WM_PAINT) return CWindowWnd::HandleMessage(msg, wParam, lParam);
        if (!m_offscreen) {
            m_windowDC = GetDC(m_hWnd);
            m_offscreen = CreateCompatibleDC(m_windowDC);
            BYTE* bits = nullptr;
            m_bitmap = CRenderEngine::CreateARGB32Bitmap(m_windowDC, kWidth, kHeight, &bits);
            SelectObject(m_offscreen, m_bitmap);
        }
        BareRepaint(m_hWnd, m_windowDC, m_offscreen, image, font);
        return 0;
    }

private:
    HDC m_windowDC = nullptr;
    HDC m_offscreen = nullptr;
    HBITMAP m_bitmap = nullptr;
};

double RepaintMilliseconds(HWND window, int runs) {
    const auto repaint = [window] {
        InvalidateRect(window, nullptr, FALSE);
        UpdateWindow(window);
    };
    repaint();  // the first paint lays out and builds caches
    return MedianSeconds(runs, repaint) * 1000.0;
}

}  // namespace

void RunPaintBench() {
    CPaintManagerUI::SetInstance(GetModuleHandleW(nullptr));
    CPaintManagerUI::SetResourcePath(WriteCellImage().c_str());
    constexpr int runs = 41;

    PaintWindow library;
    library.CreateEx(nullptr, L"paint bench", WS_POPUP, 0, 0, 0, kWidth, kHeight);
    auto* grid = new Grid();
    for (int i = 0; i < kColumns * kRows; ++i) {
        auto* cell = new Cell();
        cell->ApplyAttributeList(
            L"bkcolor=\"#FFE0E8F0\" bordercolor=\"#FF8090A0\" bordersize=\"1\" "
            L"bkimage=\"file='cell.bmp' corner='4,4,4,4'\"");
        cell->SetText(CellText(i).c_str());
        grid->AddCell(cell);
    }
    library.manager.AttachDialog(grid);
    ShowWindow(library.GetHWND(), SW_SHOWNOACTIVATE);
    const double libraryMs = RepaintMilliseconds(library.GetHWND(), runs);

    BareWindow bare;
    TImageInfo* image = library.manager.GetImageEx(L"cell.bmp");
    bare.image = image ? image->bitmap : nullptr;
    bare.font = library.manager.GetDefaultFontInfo()->font.get();
    bare.CreateEx(nullptr, L"bare paint bench", WS_POPUP, 0, 0, 0, kWidth, kHeight);
    ShowWindow(bare.GetHWND(), SW_SHOWNOACTIVATE);
    const double bareMs = RepaintMilliseconds(bare.GetHWND(), runs);

    DestroyWindow(bare.GetHWND());
    DestroyWindow(library.GetHWND());
    CPaintManagerUI::SetResourcePath(L"");

    std::printf("Paint: full repaint of a %dx%d window with %d controls (target: at most 1.3x the bare loop, under 16 ms)\n",
                kWidth, kHeight, kColumns * kRows);
    std::printf("  paint manager and controls     %8.3f ms\n", libraryMs);
    std::printf("  bare loop, same drawing calls  %8.3f ms\n", bareMs);
    std::printf("  ratio                          %8.2f\n\n", libraryMs / bareMs);
}

}  // namespace kvbench
