#include "ui/controls/UIAnimation.h"

#include <algorithm>

#include "ui/core/ControlUI.h"
#include "ui/core/PaintManagerUI.h"

namespace KvUI {

struct CUIAnimation::Record {
    int id = 0;
    int elapse = 0;
    int totalFrames = 0;
    int currentFrame = 0;
    bool loop = false;
    bool firstLoop = true;
    // Tells a restarted animation from the record it replaced.
    unsigned serial = 0;
};

CUIAnimation::CUIAnimation(CControlUI* owner) : m_owner(owner) {}

// Owners stop their animations (and so their timers) in their own destructors.
CUIAnimation::~CUIAnimation() = default;

bool CUIAnimation::StartAnimation(int elapse, int totalFrames, int id, bool loop) {
    if (Find(id) || elapse <= 0 || totalFrames <= 0 || !m_owner) return false;
    CPaintManagerUI* manager = m_owner->GetManager();
    if (!manager || !manager->SetTimer(m_owner, static_cast<UINT>(id), static_cast<UINT>(elapse))) return false;
    auto record = std::make_unique<Record>();
    record->id = id;
    record->elapse = elapse;
    record->totalFrames = totalFrames;
    record->loop = loop;
    record->serial = ++m_nextSerial;
    m_records.push_back(std::move(record));
    return true;
}

void CUIAnimation::StopAnimation(int id) {
    if (!m_owner) return;
    if (id == 0) {
        for (const auto& record : m_records) KillRecordTimer(record->id);
        m_records.clear();
        return;
    }
    if (const Record* record = Find(id)) {
        KillRecordTimer(id);
        Discard(record);
    }
}

bool CUIAnimation::IsAnimationRunning(int id) { return Find(id) != nullptr; }

int CUIAnimation::GetCurrentFrame(int id) {
    const Record* record = Find(id);
    return record ? record->currentFrame : -1;
}

bool CUIAnimation::SetCurrentFrame(int frame, int id) {
    Record* record = Find(id);
    if (!record || frame < 0 || frame > record->totalFrames) return false;
    record->currentFrame = frame;
    return true;
}

void CUIAnimation::OnAnimationStep(int totalFrames, int currentFrame, int id) {
    (void)totalFrames;
    (void)currentFrame;
    (void)id;
}

void CUIAnimation::OnAnimationStart(int id, bool firstLoop) {
    (void)id;
    (void)firstLoop;
}

void CUIAnimation::OnAnimationStop(int id) { (void)id; }

void CUIAnimation::OnAnimationElapse(int id) {
    if (!m_owner) return;
    Record* record = Find(id);
    if (!record) return;
    // Every hook may stop or restart this animation: the record is looked up
    // again after each, and a replaced one waits for its own first tick.
    const unsigned serial = record->serial;
    const int frame = record->currentFrame;
    const int total = record->totalFrames;
    if (frame == 0) {
        OnAnimationStart(id, record->firstLoop);
        if (!(record = Refind(id, serial))) return;
        record->firstLoop = false;
    }
    OnAnimationStep(total, frame, id);
    if (!(record = Refind(id, serial))) return;
    if (frame >= total) {
        OnAnimationStop(id);
        if (!(record = Refind(id, serial))) return;
        if (record->loop) {
            record->currentFrame = 0;
        } else {
            KillRecordTimer(id);
            Discard(record);
            return;
        }
    }
    ++record->currentFrame;
}

CUIAnimation::Record* CUIAnimation::Find(int id) const {
    for (const auto& record : m_records) {
        if (record->id == id) return record.get();
    }
    return nullptr;
}

CUIAnimation::Record* CUIAnimation::Refind(int id, unsigned serial) const {
    Record* record = Find(id);
    return (record && record->serial == serial) ? record : nullptr;
}

void CUIAnimation::KillRecordTimer(int id) const {
    if (CPaintManagerUI* manager = m_owner->GetManager()) manager->KillTimer(m_owner, static_cast<UINT>(id));
}

void CUIAnimation::Discard(const Record* record) {
    m_records.erase(std::find_if(m_records.begin(), m_records.end(),
                                 [record](const std::unique_ptr<Record>& r) { return r.get() == record; }));
}

}  // namespace KvUI
