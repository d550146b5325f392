#pragma once
#include <windows.h>

#include <memory>
#include <vector>

namespace KvUI {

class CControlUI;

// Frame-counted animations, each driven by a timer of the owning control.
class IUIAnimation {
public:
    virtual ~IUIAnimation() = default;
    virtual bool StartAnimation(int elapse, int totalFrames, int id, bool loop = false) = 0;
    // Id 0 stops every animation.
    virtual void StopAnimation(int id = 0) = 0;
    virtual bool IsAnimationRunning(int id) = 0;
    virtual int GetCurrentFrame(int id = 0) = 0;
    virtual bool SetCurrentFrame(int frame, int id = 0) = 0;
    virtual void OnAnimationStep(int totalFrames, int currentFrame, int id) = 0;
    virtual void OnAnimationStart(int id, bool firstLoop) = 0;
    virtual void OnAnimationStop(int id) = 0;
    // The owner calls this from its timer event with the timer's id.
    virtual void OnAnimationElapse(int id) = 0;
};

// The animations of one control. A control that animates derives from it as
// a second base, forwards its timer events to OnAnimationElapse and
// overrides the start, step and stop hooks (which do nothing here).
class CUIAnimation : public IUIAnimation {
public:
    explicit CUIAnimation(CControlUI* owner);
    CUIAnimation(const CUIAnimation&) = delete;
    CUIAnimation& operator=(const CUIAnimation&) = delete;
    ~CUIAnimation() override;

    // Refused for a running id, a non-positive interval or frame count, or
    // when the owner's timer cannot be set.
    bool StartAnimation(int elapse, int totalFrames, int id, bool loop = false) override;
    void StopAnimation(int id = 0) override;
    bool IsAnimationRunning(int id) override;
    int GetCurrentFrame(int id = 0) override;
    bool SetCurrentFrame(int frame, int id = 0) override;
    void OnAnimationStep(int totalFrames, int currentFrame, int id) override;
    void OnAnimationStart(int id, bool firstLoop) override;
    void OnAnimationStop(int id) override;
    void OnAnimationElapse(int id) override;

private:
    struct Record;

    Record* Find(int id) const;
    // The same record, unless a hook stopped or restarted its animation.
    Record* Refind(int id, unsigned serial) const;
    void KillRecordTimer(int id) const;
    void Discard(const Record* record);

    CControlUI* m_owner;
    std::vector<std::unique_ptr<Record>> m_records;
    unsigned m_nextSerial = 0;
};

}  // namespace KvUI
