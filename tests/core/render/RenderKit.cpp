#include "RenderKit.h"

#include <gdiplus.h>
#include <gtest/gtest.h>

#include "support/TestKit.h"

namespace rendertest {
namespace {

// What a paint manager sets up for the process, for the tests that draw
// without one: GDI+ running and msimg32 loaded.
class RenderEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        m_msimg32 = LoadLibraryW(L"msimg32.dll");
        Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&m_token, &input, nullptr);
    }
    void TearDown() override {
        Gdiplus::GdiplusShutdown(m_token);
        if (m_msimg32) FreeLibrary(m_msimg32);
    }

private:
    ULONG_PTR m_token = 0;
    HMODULE m_msimg32 = nullptr;
};

[[maybe_unused]] ::testing::Environment* const g_environment = ::testing::AddGlobalTestEnvironment(new RenderEnvironment);

}  // namespace

BITMAPINFO TopDown32(int width, int height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

Canvas::Canvas(int width, int height, DWORD fill)
    : m_width(width), m_height(height), m_dc(CreateCompatibleDC(nullptr)) {
    const BITMAPINFO info = TopDown32(width, height);
    void* bits = nullptr;
    m_bitmap.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    m_bits = static_cast<DWORD*>(bits);
    m_old = SelectObject(m_dc.get(), m_bitmap.get());
    Fill(fill);
}

Canvas::~Canvas() { SelectObject(m_dc.get(), m_old); }

void Canvas::Fill(DWORD argb) {
    GdiFlush();
    for (int i = 0; i < m_width * m_height; ++i) m_bits[i] = argb;
}

DWORD Canvas::Pixel(int x, int y) const {
    GdiFlush();
    return m_bits[y * m_width + x];
}

int Canvas::CountNot(const RECT& rc, DWORD argb) const {
    GdiFlush();
    int n = 0;
    for (int y = rc.top; y < rc.bottom; ++y) {
        for (int x = rc.left; x < rc.right; ++x) n += m_bits[y * m_width + x] != argb;
    }
    return n;
}

int Canvas::CountWhere(const RECT& rc, bool (*test)(DWORD)) const {
    GdiFlush();
    int n = 0;
    for (int y = rc.top; y < rc.bottom; ++y) {
        for (int x = rc.left; x < rc.right; ++x) n += test(m_bits[y * m_width + x]);
    }
    return n;
}

KvUI::UniqueBitmap MakeBitmap(int width, int height, const std::vector<DWORD>& argb) {
    const BITMAPINFO info = TopDown32(width, height);
    void* bits = nullptr;
    KvUI::UniqueBitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    std::copy(argb.begin(), argb.end(), static_cast<DWORD*>(bits));
    return bitmap;
}

std::vector<BYTE> Rgba(const std::vector<DWORD>& argbPixels) {
    std::vector<BYTE> out;
    for (DWORD c : argbPixels) {
        out.push_back(static_cast<BYTE>(R(c)));
        out.push_back(static_cast<BYTE>(G(c)));
        out.push_back(static_cast<BYTE>(B(c)));
        out.push_back(static_cast<BYTE>(A(c)));
    }
    return out;
}

std::string MakeImageFile(const std::string& name, int width, int height, const std::vector<BYTE>& rgba,
                          const std::string& format) {
    const std::string dir = kvtest::WorkDirUnix();
    const std::string raw = dir + "/" + name + ".rgba";
    const std::string out = dir + "/" + name;
    kvtest::WriteFileBytes(raw, rgba.data(), rgba.size());
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    EXPECT_EQ(0, kvtest::RunUnix({"convert", "-size", size, "-depth", "8", "rgba:" + raw, format + ":" + out}));
    return out;
}

ManagedWindow::ManagedWindow(const std::wstring& resourceFolder) {
    static const ATOM windowClass = [] {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"KvRenderTestWindow";
        return RegisterClassW(&wc);
    }();
    (void)windowClass;
    m_manager = std::make_unique<KvUI::CPaintManagerUI>();
    m_hwnd = CreateWindowExW(0, L"KvRenderTestWindow", L"render test", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300,
                             nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    m_manager->Init(m_hwnd);
    if (!resourceFolder.empty()) KvUI::CPaintManagerUI::SetResourcePath(resourceFolder.c_str());
}

ManagedWindow::~ManagedWindow() {
    m_manager.reset();
    DestroyWindow(m_hwnd);
}

}  // namespace rendertest
