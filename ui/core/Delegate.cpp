#include "ui/core/Delegate.h"

namespace KvUI {

CDelegateBase::CDelegateBase(void* object, const void* function, size_t size) : m_object(object) {
    memcpy(m_function, function, size < kMaxFunctionSize ? size : kMaxFunctionSize);
}

bool CDelegateBase::Equals(const CDelegateBase& other) const {
    return m_object == other.m_object && memcmp(m_function, other.m_function, kMaxFunctionSize) == 0;
}

CEventSource::~CEventSource() {
    for (int i = 0; i < m_delegates.GetSize(); ++i) delete static_cast<CDelegateBase*>(m_delegates[i]);
}

void CEventSource::Add(const CDelegateBase& delegate) {
    for (int i = 0; i < m_delegates.GetSize(); ++i) {
        const auto* held = static_cast<const CDelegateBase*>(m_delegates[i]);
        if (held && held->Equals(delegate)) return;
    }
    CDelegateBase* copy = delegate.Copy();
    if (!m_delegates.Add(copy)) delete copy;
}

bool CEventSource::Invoke(void* param) {
    for (int i = 0; i < m_delegates.GetSize(); ++i) {
        auto* delegate = static_cast<CDelegateBase*>(m_delegates[i]);
        if (delegate && !delegate->Invoke(param)) return false;
    }
    return true;
}

}  // namespace KvUI
