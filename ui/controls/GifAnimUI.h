#pragma once
#include <vector>

#include "ui/core/ControlUI.h"
#include "ui/core/RenderEngine.h"

namespace KvUI {

// Plays an animated GIF in its rectangle frame by frame, each frame for its
// own delay, on one control timer.
class CGifAnimUI : public CControlUI {
public:
    CGifAnimUI();
    ~CGifAnimUI() override;

    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR name) override;
    void SetVisible(bool visible = true) override;
    void DoInit() override;
    void DoEvent(TUIEvent& event) override;
    void SetAttribute(LPCTSTR name, LPCTSTR value) override;
    bool DoPaint(HDC dc, const RECT& paint, CControlUI* stopControl) override;

    // A plain file or resource name; the image is loaded at the next paint.
    void SetBkImage(LPCTSTR name);
    LPCTSTR GetBkImage() const { return m_fileName; }
    bool IsAutoPlay() const { return m_autoPlay; }
    void SetAutoPlay(bool autoPlay) { m_autoPlay = autoPlay; }
    bool IsAutoSize() const { return m_autoSize; }
    void SetAutoSize(bool autoSize) { m_autoSize = autoSize; }

    void PlayGif();
    void StopGif();

private:
    void InitGifImage();
    void DeleteGif();
    // Milliseconds that frame `index` stays; frames without a delay get the default.
    UINT FrameDelay(UINT index) const;

    GdiplusImagePtr m_image;
    UINT m_frameCount = 0;
    UINT m_currentFrame = 0;
    // Hundredths of a second per frame, as the image's frame-delay property holds them.
    std::vector<UINT> m_frameDelays;
    CUIString m_fileName;
    bool m_autoPlay = true;
    bool m_autoSize = false;
    bool m_playing = false;
};

}  // namespace KvUI
