#include "ui/controls/GifAnimUI.h"

#include <cstring>
#include <memory>

#include "ui/core/AttributeValue.h"
#include "ui/core/PaintManagerUI.h"
#include "ui/core/RenderGdiplus.h"

namespace KvUI {
namespace {

using namespace Gdiplus::DllExports;

constexpr UINT kFrameTimer = 100;
constexpr UINT kDefaultDelayMs = 100;
constexpr PROPID kFrameDelayProperty = 0x5100;
// GDI+'s frame dimension "time", the one an animated GIF's frames lie along.
constexpr GUID kFrameDimensionTime = {0x6aedbd6d, 0x3fb5, 0x418a, {0x83, 0xa6, 0x7f, 0x45, 0x22, 0x9d, 0xc8, 0x72}};

UINT CountFrames(Gdiplus::GpImage* image) {
    UINT dimensions = 0;
    if (GdipImageGetFrameDimensionsCount(image, &dimensions) != Gdiplus::Ok || dimensions == 0) return 0;
    std::vector<GUID> ids(dimensions);
    if (GdipImageGetFrameDimensionsList(image, ids.data(), dimensions) != Gdiplus::Ok) return 0;
    UINT frames = 0;
    if (GdipImageGetFrameCount(image, &ids[0], &frames) != Gdiplus::Ok) return 0;
    return frames;
}

// The frame delays, or nothing when the image carries none.
std::vector<UINT> ReadFrameDelays(Gdiplus::GpImage* image) {
    UINT size = 0;
    if (GdipGetPropertyItemSize(image, kFrameDelayProperty, &size) != Gdiplus::Ok ||
        size < sizeof(Gdiplus::PropertyItem)) {
        return {};
    }
    // PropertyItem holds a pointer: keep the buffer aligned for it.
    std::unique_ptr<std::max_align_t[]> buffer(new std::max_align_t[size / sizeof(std::max_align_t) + 1]);
    auto* item = reinterpret_cast<Gdiplus::PropertyItem*>(buffer.get());
    if (GdipGetPropertyItem(image, kFrameDelayProperty, size, item) != Gdiplus::Ok || !item->value) return {};
    const size_t count = item->length / sizeof(UINT);
    std::vector<UINT> delays(count);
    if (count) memcpy(delays.data(), item->value, count * sizeof(UINT));
    return delays;
}

}  // namespace

CGifAnimUI::CGifAnimUI() = default;

CGifAnimUI::~CGifAnimUI() {
    DeleteGif();
    if (m_manager) m_manager->KillTimer(this, kFrameTimer);
}

LPCTSTR CGifAnimUI::GetClass() const { return L"GifAnimUI"; }

LPVOID CGifAnimUI::GetInterface(LPCTSTR name) {
    if (name && attribute::Is(name, L"GifAnim")) return static_cast<CGifAnimUI*>(this);
    return CControlUI::GetInterface(name);
}

void CGifAnimUI::SetVisible(bool visible) {
    CControlUI::SetVisible(visible);
    if (visible) {
        PlayGif();
    } else {
        StopGif();
    }
}

void CGifAnimUI::DoInit() { InitGifImage(); }

void CGifAnimUI::DoEvent(TUIEvent& event) {
    // Only the frame timer matters here; nothing else goes on to the parent.
    if (event.type != EventTimer || event.wParam != kFrameTimer || !m_manager || m_frameCount == 0) return;
    m_manager->KillTimer(this, kFrameTimer);
    Invalidate();
    m_currentFrame = (m_currentFrame + 1) % m_frameCount;
    m_manager->SetTimer(this, kFrameTimer, FrameDelay(m_currentFrame));
}

void CGifAnimUI::SetAttribute(LPCTSTR name, LPCTSTR value) {
    using namespace attribute;
    if (!name || !value) return;
    if (Is(name, L"bkimage")) {
        SetBkImage(value);
    } else if (Is(name, L"autoplay")) {
        SetAutoPlay(IsTrue(value));
    } else if (Is(name, L"autosize")) {
        SetAutoSize(IsTrue(value));
    } else {
        CControlUI::SetAttribute(name, value);
    }
}

bool CGifAnimUI::DoPaint(HDC dc, const RECT& paint, CControlUI* stopControl) {
    (void)stopControl;
    if (!IntersectRect(&m_paintRect, &paint, &m_itemRect)) return true;
    if (!m_image) InitGifImage();
    if (!m_image) return true;
    // Selected before drawing, so each frame is on screen for its own delay.
    GdipImageSelectActiveFrame(m_image.get(), &kFrameDimensionTime, m_currentFrame);
    const GdipGraphicsPtr graphics = GdipGraphicsFor(dc);
    if (graphics) {
        GdipDrawImageRectI(graphics.get(), m_image.get(), m_itemRect.left, m_itemRect.top,
                           m_itemRect.right - m_itemRect.left, m_itemRect.bottom - m_itemRect.top);
    }
    return true;
}

void CGifAnimUI::SetBkImage(LPCTSTR name) {
    if (!name || m_fileName == name) return;
    m_fileName = name;
    StopGif();
    DeleteGif();
    Invalidate();
}

void CGifAnimUI::PlayGif() {
    if (m_playing || !m_image || m_frameCount < 2 || !m_manager) return;
    if (!m_manager->SetTimer(this, kFrameTimer, FrameDelay(m_currentFrame))) return;
    m_playing = true;
}

void CGifAnimUI::StopGif() {
    if (!m_playing) return;
    if (m_manager) m_manager->KillTimer(this, kFrameTimer);
    m_currentFrame = 0;
    Invalidate();
    m_playing = false;
}

void CGifAnimUI::InitGifImage() {
    DeleteGif();
    m_image = CRenderEngine::LoadGifImage(m_fileName);
    if (!m_image) return;
    m_frameCount = CountFrames(m_image.get());
    if (m_frameCount > 1) m_frameDelays = ReadFrameDelays(m_image.get());
    if (m_autoSize) {
        UINT width = 0;
        UINT height = 0;
        GdipGetImageWidth(m_image.get(), &width);
        GdipGetImageHeight(m_image.get(), &height);
        SetFixedWidth(static_cast<int>(width));
        SetFixedHeight(static_cast<int>(height));
    }
    if (m_autoPlay) PlayGif();
}

void CGifAnimUI::DeleteGif() {
    m_image.reset();
    m_frameDelays.clear();
    m_frameCount = 0;
    m_currentFrame = 0;
}

UINT CGifAnimUI::FrameDelay(UINT index) const {
    const UINT hundredths = index < m_frameDelays.size() ? m_frameDelays[index] : 0;
    return hundredths ? hundredths * 10 : kDefaultDelayMs;
}

}  // namespace KvUI
