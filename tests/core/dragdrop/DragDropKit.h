#pragma once
// What the drag-and-drop tests share: an OLE apartment, global blocks, media,
// hidden windows that show what was dropped on them, and bitmap pixels.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "win/ComRef.h"
#include "ui/core/DataObject.h"

namespace dragdrop {

// An empty data object, as a drag source would fill it.
inline kvwin::CComRef<IDataObject> NewDataObject() {
    auto* object = new KvUI::CIDataObject(nullptr);
    object->AddRef();
    return kvwin::CComRef<IDataObject>(object);
}

class OleTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr))); }
    void TearDown() override { OleUninitialize(); }
};

inline HGLOBAL MakeGlobal(const void* bytes, size_t size) {
    HGLOBAL global = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!global) return nullptr;
    std::memcpy(GlobalLock(global), bytes, size);
    GlobalUnlock(global);
    return global;
}

inline HGLOBAL MakeGlobal(const std::vector<BYTE>& bytes) { return MakeGlobal(bytes.data(), bytes.size()); }

inline std::vector<BYTE> GlobalBytes(HGLOBAL global) {
    const auto* data = static_cast<const BYTE*>(GlobalLock(global));
    std::vector<BYTE> bytes(data, data + GlobalSize(global));
    GlobalUnlock(global);
    return bytes;
}

inline FORMATETC Format(CLIPFORMAT cf, DWORD tymed, DWORD aspect = DVASPECT_CONTENT) {
    return FORMATETC{cf, nullptr, aspect, -1, tymed};
}

inline STGMEDIUM GlobalMedium(HGLOBAL global) {
    STGMEDIUM medium{};
    medium.tymed = TYMED_HGLOBAL;
    medium.hGlobal = global;
    return medium;
}

inline STGMEDIUM StreamMedium(IStream* stream) {
    STGMEDIUM medium{};
    medium.tymed = TYMED_ISTREAM;
    medium.pstm = stream;
    return medium;
}

inline STGMEDIUM BitmapMedium(HBITMAP bitmap) {
    STGMEDIUM medium{};
    medium.tymed = TYMED_GDI;
    medium.hBitmap = bitmap;
    return medium;
}

// Hands `medium` over to `object` as `cf`.
inline void Put(IDataObject* object, CLIPFORMAT cf, STGMEDIUM medium) {
    FORMATETC format = Format(cf, medium.tymed);
    ASSERT_EQ(S_OK, object->SetData(&format, &medium, TRUE));
}

inline void PutGlobal(IDataObject* object, CLIPFORMAT cf, const std::string& text) {
    Put(object, cf, GlobalMedium(MakeGlobal(text.c_str(), text.size() + 1)));
}

inline ULONG RefCount(IUnknown* object) {
    object->AddRef();
    return object->Release();
}

// A solid 32-bit bitmap of the given colour (0xRRGGBB).
inline HBITMAP SolidBitmap(int cx, int cy, COLORREF rgb) {
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, cx, cy);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    HBRUSH brush = CreateSolidBrush(rgb);
    const RECT rc{0, 0, cx, cy};
    FillRect(dc, &rc, brush);
    DeleteObject(brush);
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

inline SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP bm{};
    if (!GetObjectW(bitmap, sizeof bm, &bm)) return SIZE{0, 0};
    return SIZE{bm.bmWidth, bm.bmHeight};
}

// Pixels top-down as 0x00RRGGBB.
inline std::vector<DWORD> Pixels(HBITMAP bitmap) {
    const SIZE size = BitmapSize(bitmap);
    std::vector<DWORD> pixels(static_cast<size_t>(size.cx) * static_cast<size_t>(size.cy));
    if (pixels.empty()) return pixels;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size.cx;
    info.bmiHeader.biHeight = -size.cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, static_cast<UINT>(size.cy), pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    for (DWORD& p : pixels) p &= 0x00FFFFFF;
    return pixels;
}

// A hidden bitmap static away from the screen's origin, so client and screen
// coordinates differ; it records the mouse-up and every STM_SETIMAGE it sees.
// With `keepsImages` false it answers STM_SETIMAGE/STM_GETIMAGE like any
// window that does not show images.
class ImageWindow {
public:
    explicit ImageWindow(bool keepsImages = true) : m_keepsImages(keepsImages) {
        m_window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | SS_BITMAP, 200, 150, 64, 48, nullptr,
                                   nullptr, GetModuleHandleW(nullptr), nullptr);
        SetWindowSubclass(m_window, Record, 1, reinterpret_cast<DWORD_PTR>(this));
    }
    ImageWindow(const ImageWindow&) = delete;
    ImageWindow& operator=(const ImageWindow&) = delete;
    ~ImageWindow() {
        if (m_window) {
            DeleteObject(Image());
            DestroyWindow(m_window);
        }
    }

    HWND Get() const { return m_window; }
    HBITMAP Image() const {
        return reinterpret_cast<HBITMAP>(SendMessageW(m_window, STM_GETIMAGE, IMAGE_BITMAP, 0));
    }
    const std::vector<LPARAM>& MouseUps() const { return m_mouseUps; }
    const std::vector<HBITMAP>& Offered() const { return m_offered; }
    void Destroy() {
        DestroyWindow(m_window);
        m_window = nullptr;
    }

private:
    static LRESULT CALLBACK Record(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                   DWORD_PTR self) {
        auto* me = reinterpret_cast<ImageWindow*>(self);
        if (msg == WM_LBUTTONUP) me->m_mouseUps.push_back(lParam);
        if (msg == STM_SETIMAGE) me->m_offered.push_back(reinterpret_cast<HBITMAP>(lParam));
        if (!me->m_keepsImages && (msg == STM_SETIMAGE || msg == STM_GETIMAGE)) return 0;
        if (msg == WM_NCDESTROY) RemoveWindowSubclass(window, Record, 1);
        return DefSubclassProc(window, msg, wParam, lParam);
    }

    bool m_keepsImages;
    HWND m_window = nullptr;
    std::vector<LPARAM> m_mouseUps;
    std::vector<HBITMAP> m_offered;
};

}  // namespace dragdrop
